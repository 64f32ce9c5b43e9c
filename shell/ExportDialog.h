#pragma once

#include "engine/document/CommandId.h"

#include <QWidget>
#include <array>
#include <cstdint>

class QPushButton;

namespace platform {
class CommandRouter;
}

// The "Export" tab's page (form template 173): on white, four large buttons stacked on the pane's
// vertical centre line, 50 pixels apart: "Save Project", "Save Picture", "New Project" and "Send
// Picture". Each runs its command through the router and is enabled while the command is; the panel
// adds nothing of its own but the layout and the colour.
class ExportDialog final : public QWidget {
public:
    explicit ExportDialog(platform::CommandRouter& router, QWidget* parent = nullptr);

    // The button of a command, or null.
    QPushButton* Button(int32_t id) const;

    static constexpr int32_t SaveProjectId = CommandId::SaveProject;
    static constexpr int32_t SavePictureId = CommandId::SavePicture;
    static constexpr int32_t NewProjectId = CommandId::NewProject;
    static constexpr int32_t SendPictureId = CommandId::Send;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Centres each button horizontally and stacks them around the vertical centre.
    void OnSize(int32_t cx, int32_t cy);

    struct Placed {
        int32_t id;
        int32_t offset;  // of the button's top from the centred position
        QPushButton* button;
    };
    std::array<Placed, 4> m_buttons;
};
