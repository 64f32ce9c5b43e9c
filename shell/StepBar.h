#pragma once

#include "engine/document/StepBarLink.h"

#include "shell/StepTable.h"

#include <QStatusBar>
#include <cstdint>
#include <optional>

class QLabel;
class Settings;
class StepImagesTarget;

// The status bar at the bottom of the main window: what to do in the current wizard state. Three panes:
// an empty one of no width, the step text over the free width, and a 128-pixel owner-drawn pane whose
// every repaint brings the step pictures (StepImagesTarget) in line with the shown step. A state with a
// help tip shows it (Tutor) unless tips are off, the caller says noTip, or an undo is running.
// Installed as g_stepBar while it lives.
class StepBar final : public QStatusBar, public StepBarLink {
public:
    explicit StepBar(Settings& settings, QWidget* parent = nullptr);
    ~StepBar() override;

    // The step bar installed as g_stepBar, or null.
    static StepBar* Installed();

    void SetStep(int32_t state, bool noTip) override;
    // The start prompt's half on the step bar: step 0 and its text, without a tip (the layers panel
    // shows the tip); a tip still waiting is dropped.
    void ShowStartText();

    // With wait set, a tip due while the step bar's window is not shown yet (a project opened at
    // start-up) waits until the window is shown, so that it does not stand alone on the screen.
    void SetTipsWaitForWindow(bool wait) { m_tipsWaitForWindow = wait; }
    // While held (a project being opened), a tip that comes due waits; ReleaseTips runs it once the
    // open has finished, unless the document has left its step meanwhile (a failed open's new project,
    // whose start prompt has tips of its own).
    void HoldTips() { ++m_tipsHeld; }
    void ReleaseTips();
    bool HasWaitingTip() const { return m_waitingTip.has_value(); }
    // Where the step pictures are; null: nowhere.
    void SetStepImagesTarget(StepImagesTarget* target);
    // The owner-drawn pane's drawing: the step pictures follow m_step.
    void DrawItem();

    int32_t Step() const { return m_step; }
    QString Text() const;
    QLabel* TextPane() const { return m_text; }
    QWidget* PicturesPane() const { return m_picturesPane; }

    static constexpr int32_t PicturesPaneWidth = 128;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowText(const QString& text);
    void RunTip(const StepRow& row);
    void RunWaitingTip();

    Settings& m_settings;
    int32_t m_step = 0;
    QLabel* m_text = nullptr;
    QWidget* m_picturesPane = nullptr;
    StepImagesTarget* m_target = nullptr;
    bool m_tipsWaitForWindow = false;
    int32_t m_tipsHeld = 0;
    std::optional<StepRow> m_waitingTip;
};
