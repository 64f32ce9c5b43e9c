#include "RenderHelpers.h"

#include "platform/metafile/Metafile.h"

#include <QPainter>

QImage Render(const QByteArray& bytes, QSize size, const QRectF& target)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(kPaper);
    const auto metafile = platform::Metafile::FromBytes(bytes);
    if (!metafile) {
        ADD_FAILURE() << "the metafile did not load";
        return image;
    }
    QPainter painter(&image);
    metafile->Play(painter, target.isEmpty() ? QRectF(QPointF(0, 0), QSizeF(size)) : target);
    return image;
}

QImage PlayOnto(QImage image, const QByteArray& bytes, const std::function<void(QPainter&)>& before)
{
    const auto metafile = platform::Metafile::FromBytes(bytes);
    if (!metafile) {
        ADD_FAILURE() << "the metafile did not load";
        return image;
    }
    QPainter painter(&image);
    if (before)
        before(painter);
    metafile->Play(painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.end();
    return image;
}

QImage TransparentPicture(QSize size, std::initializer_list<QPoint> halfTransparent)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (const QPoint point : halfTransparent)
        image.setPixel(point, 0x80402010);
    return image;
}

testing::AssertionResult PixelsAreValid(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            if (qRed(line[x]) > alpha || qGreen(line[x]) > alpha || qBlue(line[x]) > alpha)
                return testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex << line[x];
        }
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult AreaIs(const QImage& image, const QRect& area, QRgb inside, QRgb outside)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb expected = area.contains(x, y) ? inside : outside;
            if (image.pixel(x, y) != expected)
                return testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex
                                                   << image.pixel(x, y) << ", not " << expected;
        }
    }
    return testing::AssertionSuccess();
}
