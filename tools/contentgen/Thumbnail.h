#pragma once

#include <QImage>

// The browsers' thumbnails: the whole picture scaled down to fit 130 x 100 with its proportions kept,
// laid on white where it is transparent (the thumbnails are JPEG files).
class Thumbnail {
public:
    static constexpr int MaxWidth = 130;
    static constexpr int MaxHeight = 100;

    static QImage Make(const QImage& picture);
};
