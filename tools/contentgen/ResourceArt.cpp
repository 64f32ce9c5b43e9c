#include "tools/contentgen/ResourceArt.h"

#include "tools/contentgen/AccessoryArt.h"
#include "tools/contentgen/BubbleShape.h"
#include "tools/contentgen/FaceArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double InnerFraction = 0.45;  // of the radius, fully opaque

// The picture layer keeps a decoded picture's bytes as the file holds them and blends them as
// premultiplied, so the stamps are stored that way: white (grey value = alpha) or black.
QImage Stamp(bool white)
{
    QImage image(ResourceArt::StampSize, ResourceArt::StampSize, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = ResourceArt::StampAlpha(x, y);
            const int grey = white ? alpha : 0;
            row[x] = qRgba(grey, grey, grey, alpha);
        }
    }
    return image;
}

} // namespace

int ResourceArt::StampAlpha(int x, int y)
{
    const double radius = StampSize / 2.0;
    const double d = std::hypot(x + 0.5 - radius, y + 0.5 - radius);
    const double inner = radius * InnerFraction;
    if (d <= inner)
        return 255;
    if (d >= radius)
        return 0;
    const double t = (d - inner) / (radius - inner);
    return static_cast<int>(std::lround(255 * 0.5 * (1 + std::cos(std::numbers::pi * t))));
}

QImage ResourceArt::PaintStamp()
{
    return Stamp(true);
}

QImage ResourceArt::EraseStamp()
{
    return Stamp(false);
}

QImage ResourceArt::Welcome(const BubbleShape& bubble)
{
    QImage image(WelcomeSize, QImage::Format_RGB32);
    image.fill(Qt::white);  // a new image holds whatever memory held; edges that blend must not see it
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QLinearGradient sky(0, 0, 0, WelcomeSize.height());
    sky.setColorAt(0, QColor(255, 244, 214));
    sky.setColorAt(1, QColor(255, 196, 140));
    p.fillRect(image.rect(), sky);

    // A smiley in a party hat saying hello: the cartoon face's disc only, without its backdrop.
    const QRectF faceTarget(620, 250, 340, 340);
    const QRectF faceSource(96, 96, 320, 320);
    const double zoom = faceTarget.width() / faceSource.width();
    p.save();
    QPainterPath disc;
    disc.addEllipse(faceTarget.center(), 136 * zoom, 144 * zoom);  // the smiley's own outline, 132 by 140
    p.setClipPath(disc);
    p.drawImage(faceTarget, FaceArt::Draw(FaceArt::Cartoon::Smiley), faceSource);
    p.restore();
    p.drawImage(QRectF(725, 105, 130, 175), AccessoryArt::Draw(AccessoryArt::Kind::PartyHat));

    // The bubble mirrored, so that its tail points at the smiley; the text itself is not mirrored.
    const QPointF origin(240, 40);
    constexpr double bubbleScale = 0.9;
    p.save();
    p.translate(origin.x() + bubble.size.width() * bubbleScale, origin.y());
    p.scale(-bubbleScale, bubbleScale);
    bubble.Draw(p);
    p.restore();
    const QRectF text(origin.x() + (bubble.size.width() - bubble.textRect.right()) * bubbleScale,
                      origin.y() + bubble.textRect.top() * bubbleScale, bubble.textRect.width() * bubbleScale,
                      bubble.textRect.height() * bubbleScale);
    QFont hello(QStringLiteral("Liberation Sans"));
    hello.setPixelSize(64);
    hello.setBold(true);
    p.setFont(hello);
    p.setPen(QColor(30, 30, 30));
    p.drawText(text, Qt::AlignCenter, QStringLiteral("Hello!"));

    QFont title(QStringLiteral("Liberation Sans"));
    title.setPixelSize(88);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(150, 60, 20));
    p.drawText(QRect(60, 470, 560, 120), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Snapmingle"));
    QFont line(QStringLiteral("Liberation Sans"));
    line.setPixelSize(34);
    p.setFont(line);
    p.setPen(QColor(90, 50, 30));
    p.drawText(QRect(64, 590, 520, 120), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Funny pictures from your photos, one step at a time."));
    return image;
}
