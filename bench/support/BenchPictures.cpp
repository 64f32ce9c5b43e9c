#include "BenchPictures.h"

#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A round mask with a soft edge, 255 inside.
int SoftRoundAlpha(int x, int y, int w, int h)
{
    const double dx = (x - w / 2.0) / (w / 2.0);
    const double dy = (y - h / 2.0) / (h / 2.0);
    const double r = std::sqrt(dx * dx + dy * dy);
    return std::clamp(static_cast<int>((1.0 - r) * 1024), 0, 255);
}

} // namespace

QImage SmoothPicture(int w, int h, bool masked, int seed)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int alpha = masked ? SoftRoundAlpha(x, y, w, h) : 255;
            row[x] = qRgba((x * 3 + seed * 40) & 0xFF, (y * 5 + seed * 70) & 0xFF, ((x + y) / 2) & 0xFF, alpha);
        }
    }
    return image;
}

QImage PhotoPicture(int w, int h, bool masked, int seed)
{
    constexpr int NoiseLevels = 5;  // -2 to +2 on each channel
    QImage photo = QImageReader(QStringLiteral(SMG_BENCH_PHOTO)).read();
    photo = photo.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .mirrored(seed % 2 == 1, false)
                .convertToFormat(QImage::Format_ARGB32);
    uint32_t noise = 2463534242u + static_cast<uint32_t>(seed);
    auto next = [&noise] {  // xorshift32: the same noise every run
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        return static_cast<int>(noise % NoiseLevels) - NoiseLevels / 2;
    };
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int alpha = masked ? SoftRoundAlpha(x, y, w, h) : 255;
            row[x] = qRgba(std::clamp(qRed(row[x]) + next(), 0, 255), std::clamp(qGreen(row[x]) + next(), 0, 255),
                           std::clamp(qBlue(row[x]) + next(), 0, 255), alpha);
        }
    }
    return photo;
}
