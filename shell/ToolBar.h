#pragma once

#include "engine/base/ProgramTimer.h"
#include "engine/document/CommandId.h"
#include "shell/ImageList.h"

#include <QIcon>
#include <QToolBar>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

class QMainWindow;
class QToolButton;

namespace platform {
class CommandRouter;
}

// The column of large flat buttons on the left of the main window: Next Step, Undo, Redo, the layer
// tools and the layer actions. Button i shows picture i of the strips: the normal one, the hot one under
// the mouse, the grey one while its command is disabled. Every button runs its command through the
// router (which asks the command's enabling handler first) and shows the enabling and check mark of the
// command's action. Next Step blinks while it is enabled: every BlinkTimerPeriodMs it changes between
// its own picture and the highlighted one.
//
//   auto* toolBar = new ToolBar(router, &frame);
//   bool ok = toolBar->Create(frame);                      // docked on the left
//   ok = toolBar->SetButtons(ToolBar::Buttons) && ok;
class ToolBar final : public QToolBar {
public:
    explicit ToolBar(platform::CommandRouter& router, QWidget* parent = nullptr);
    ~ToolBar() override;

    // Loads the three strips (hot, normal, disabled), docks the bar on the frame's left edge as a
    // vertical column and starts the blink timer. False when a strip is missing; the bar is docked anyway.
    bool Create(QMainWindow& frame);
    // One button per command id, button i showing picture i, in place of any buttons before. False when
    // a button has no picture.
    bool SetButtons(std::span<const int32_t> ids);

    // The blink timer's tick: while Next Step is enabled it alternates between the highlighted and its own
    // picture, starting with the highlighted one; the phase changes at every tick, enabled or not.
    void OnTimer();

    int32_t ButtonCount() const { return static_cast<int32_t>(m_buttons.size()); }
    // The button at index, or null.
    QToolButton* Button(int32_t index) const;
    // The index of the button with this command, or -1.
    int32_t CommandToIndex(int32_t id) const;
    // The picture the button shows now, or -1.
    int32_t ButtonPicture(int32_t index) const;
    bool BlinkPhase() const { return m_blinkPhase; }
    const ProgramTimer& BlinkTimer() const { return m_blinkTimer; }

    // Commands of the buttons.
    static constexpr int32_t NextStep = CommandId::NextStep;
    static constexpr int32_t Undo = CommandId::Undo;
    static constexpr int32_t Redo = CommandId::Redo;
    static constexpr int32_t MoveResize = CommandId::MoveResize;
    static constexpr int32_t Crop = CommandId::Crop;
    static constexpr int32_t Rotate = CommandId::Rotate;
    static constexpr int32_t Flip = CommandId::Flip;
    static constexpr int32_t ChangeColor = CommandId::ChangeColor;
    static constexpr int32_t EditText = CommandId::EditText;
    static constexpr int32_t Paint = CommandId::Paint;
    static constexpr int32_t Erase = CommandId::Erase;
    static constexpr int32_t MagicErase = CommandId::MagicErase;
    // The main window's buttons, in order: button i shows picture i.
    static constexpr std::array<int32_t, 12> Buttons{NextStep, Undo,  Redo,  MoveResize, Crop,  Rotate,
                                                     Flip,     ChangeColor, EditText, Paint, Erase, MagicErase};

    static constexpr int32_t ButtonWidth = 39;
    static constexpr int32_t ButtonHeight = 38;
    static constexpr int32_t NextStepPicture = 0;
    static constexpr int32_t NextStepHighlightPicture = 12;

private:
    struct Slot {
        int32_t id;
        QToolButton* button;
        QAction* entry;  // the button's place in the bar; owns the button
        int32_t picture;
    };

    void ChangeBitmap(int32_t index, int32_t picture);
    // The button shows its command's enabling and check mark.
    void FollowAction(const Slot& slot);
    bool IsButtonEnabled(int32_t index) const;

    platform::CommandRouter& m_router;
    ImageList m_hotImages;
    ImageList m_normalImages;
    ImageList m_disabledImages;
    bool m_blinkPhase = false;
    std::vector<QIcon> m_icons;  // picture i of the three strips as one icon's normal, active and disabled modes
    std::vector<Slot> m_buttons;
    ProgramTimer m_blinkTimer;
};
