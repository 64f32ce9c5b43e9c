#pragma once

#include <QImage>

// The browsers' thumbnails: the whole picture scaled down to fit 130 x 100 with its proportions kept,
// laid on white where it is transparent (the thumbnails are JPEG files).
class Thumbnail {
public:
    static constexpr int MaxWidth = 130;
    static constexpr int MaxHeight = 100;

    // The size a picture of this size gets: proportions kept, at least one pixel each way.
    static QSize Fit(QSize picture);
    static QImage Make(const QImage& picture);
    // A speech bubble's metafile played onto white at its thumbnail size; null when it does not load.
    static QImage FromMetafile(const QByteArray& metafile);
};
