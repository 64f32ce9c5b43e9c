#pragma once

#include <QDialog>
#include <QImage>
#include <cstdint>

class QCheckBox;
class QLabel;
class QPushButton;
class Settings;

// A help tip (dialog template 198): a titled picture with "Continue" and "Don't Show Again". Continue
// stores the check box as "TutorialOff" in both stores on every press, then shows the follow-up tip in
// the same dialog or closes it. Escape and the close box do nothing. Each dialog holds its own picture,
// so a tip opened while another is up (a nested tick) never takes the first one's picture away.
class Tutor final : public QDialog {
public:
    // tip: 1 to 11; step: the step number of the caption, 0 for none; nextTip: the follow-up, 0 for none.
    Tutor(Settings& settings, int32_t tip, int32_t step, int32_t nextTip, QWidget* parent = nullptr);

    // Builds a tip and runs it through the modal host; returns when it is closed.
    static void Run(Settings& settings, int32_t tip, int32_t step, int32_t nextTip);

    // Shows m_tip: the caption by m_step, the picture of PNG resource 168 + m_tip.
    void ShowTip();
    // The Continue button.
    void OnContinue();

    // Escape and the close box arrive here: they do nothing.
    void reject() override {}

    QLabel* Picture() const { return m_picture; }
    QCheckBox* DontShowAgain() const { return m_dontShowAgain; }
    QPushButton* ContinueButton() const { return m_continue; }
    // The picture shown now (null when the tip's picture could not be decoded).
    const QImage& TipImage() const { return m_image; }

    int32_t m_tip;
    int32_t m_step;
    int32_t m_nextTip;

    static constexpr int32_t PictureId = 1016;
    static constexpr int32_t ContinueId = 1;
    static constexpr int32_t DontShowAgainId = 2;

private:
    Settings& m_settings;
    QImage m_image;
    QLabel* m_picture = nullptr;
    QCheckBox* m_dontShowAgain = nullptr;
    QPushButton* m_continue = nullptr;
};
