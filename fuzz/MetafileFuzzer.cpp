// Loads every input as a speech bubble's metafile and plays what loads the ways the program draws a
// bubble: stretched over a bubble-sized picture, placed on a scene (shrunk, turned and moved, partly
// outside the picture), and stretched over a 2048 x 1536 scene. No input may crash, leak, reach
// undefined behaviour or take long to play.
#include "platform/metafile/Metafile.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <cmath>
#include <cstdint>

namespace {

// The size of the picture a bubble is drawn into while it is being written in.
constexpr int kBubbleWidth = 420;
constexpr int kBubbleHeight = 320;
// A large scene. (Over 4096 x 3072 a play may cost up to its budget's worth, seconds, by design: a
// thousand bubble-sized figures must draw there; that would not fit the runs' 2 s an input.)
constexpr int kSceneWidth = 2048;
constexpr int kSceneHeight = 1536;

// Plays the metafile onto its bounds (the layer's target) under world, into picture.
void PlayInto(const platform::Metafile& metafile, QImage& picture, const QTransform& world)
{
    const Rect bounds = metafile.Bounds();
    const qreal width = qreal(bounds.right) - bounds.left;
    const qreal height = qreal(bounds.bottom) - bounds.top;
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setWorldTransform(world);
    metafile.Play(painter, QRectF(QPointF(0, 0), QPointF(width - 1, height - 1)));
}

} // namespace

// Text: fontconfig keeps what it allocates while matching a face name for the life of the process, out
// of LeakSanitizer's sight; those are not the player's leaks.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto metafile
        = platform::Metafile::FromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!metafile)
        return 0;
    const Rect bounds = metafile->Bounds();
    const qreal width = qreal(bounds.right) - bounds.left;
    const qreal height = qreal(bounds.bottom) - bounds.top;
    static QImage picture(kBubbleWidth, kBubbleHeight, QImage::Format_ARGB32_Premultiplied);

    // Stretched over the whole picture, as while its text is written.
    if (width != 0 && height != 0)
        PlayInto(*metafile, picture, QTransform::fromScale(kBubbleWidth / width, kBubbleHeight / height));

    // Placed on a scene: about a third of the picture's width, turned, its centre near the right edge.
    QTransform placed;
    placed.translate(kBubbleWidth * 0.9, kBubbleHeight * 0.4);
    placed.rotate(30);
    if (width != 0)
        placed.scale(kBubbleWidth / 3.0 / std::abs(width), kBubbleWidth / 3.0 / std::abs(width));
    placed.translate(-width / 2, -height / 2);
    PlayInto(*metafile, picture, placed);

    // Stretched over a large scene: the budget cuts a file at the same record as at the small size.
    static QImage scene(kSceneWidth, kSceneHeight, QImage::Format_ARGB32_Premultiplied);
    if (width != 0 && height != 0)
        PlayInto(*metafile, scene, QTransform::fromScale(kSceneWidth / width, kSceneHeight / height));
    return 0;
}
