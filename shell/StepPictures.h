#pragma once

#include "shell/StepImagesTarget.h"

#include <QPixmap>
#include <QWidget>
#include <array>
#include <cstdint>

class QLabel;

// The strip of eight step pictures at the top of the main window (dialog template 128): picture control
// 1034 + i shows step i + 1, in the current set (bitmap 153 + i, white on orange) while it is the current
// step and in the other set (161 + i, white on grey) otherwise.
class StepPictures final : public QWidget, public StepImagesTarget {
public:
    explicit StepPictures(QWidget* parent = nullptr);

    // Highlights step n (1 to 8); 0, or any other value, highlights none.
    void SetStepImages(int32_t n) override;

    // The picture control of step i + 1, or null.
    QLabel* Picture(int32_t i) const;
    // Whether every picture control and both bitmaps of every step are there (the current-step
    // bitmaps are looked up, and decoded only when their step is first highlighted).
    bool IsComplete() const;
    // The step highlighted now; 0 for none.
    int32_t Highlighted() const { return m_highlighted; }

    static constexpr int32_t StepCount = 8;
    static constexpr int32_t FirstPictureId = 1034;

private:
    const QPixmap& CurrentBitmap(int32_t i);

    std::array<QLabel*, StepCount> m_pictures{};
    // [i][0]: step i + 1 as the current step (null until first shown); [i][1]: as another step.
    std::array<std::array<QPixmap, 2>, StepCount> m_stepBitmaps;
    int32_t m_highlighted = -1;  // nothing set yet
};
