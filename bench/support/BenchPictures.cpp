#include "BenchPictures.h"

#include <algorithm>
#include <cmath>

QImage SmoothPicture(int w, int h, bool masked, int seed)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / (w / 2.0);
            const double dy = (y - h / 2.0) / (h / 2.0);
            const double r = std::sqrt(dx * dx + dy * dy);
            const int alpha = masked ? std::clamp(static_cast<int>((1.0 - r) * 1024), 0, 255) : 255;
            row[x] = qRgba((x * 3 + seed * 40) & 0xFF, (y * 5 + seed * 70) & 0xFF, ((x + y) / 2) & 0xFF, alpha);
        }
    }
    return image;
}
