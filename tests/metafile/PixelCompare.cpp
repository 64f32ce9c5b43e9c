#include "PixelCompare.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

QImage OverWhite(const QImage& image)
{
    QImage result(image.size(), QImage::Format_RGB32);
    result.fill(Qt::white);
    QPainter painter(&result);
    painter.drawImage(0, 0, image);
    return result;
}

int ColourDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

PixelDifference Compare(const QImage& ours, const QImage& reference)
{
    const QImage a = OverWhite(ours);
    const QImage b = OverWhite(reference);
    PixelDifference result;
    double total = 0;
    qint64 far = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const int here = ColourDistance(a.pixel(x, y), b.pixel(x, y));
            total += here;
            result.maximum = std::max(result.maximum, here);
            int nearby = here;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < a.width() && ny < a.height())
                        nearby = std::min(nearby, ColourDistance(a.pixel(x, y), b.pixel(nx, ny)));
                }
            }
            result.maximumNearby = std::max(result.maximumNearby, nearby);
            far += nearby > kFarTolerance ? 1 : 0;
        }
    }
    const double area = double(a.width()) * a.height();
    result.mean = total / area;
    result.farShare = double(far) / area;
    return result;
}
