#include "support/SceneSkin.h"

#include "support/ScopedAppPaths.h"
#include "support/TestFiles.h"

#include "engine/colour/ColorMatch.h"
#include "engine/colour/Histogram2.h"
#include "engine/document/Document.h"
#include "engine/layers/Image.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"
#include "engine/layers/LayerKind.h"
#include "tools/contentgen/SceneArt.h"

#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// The dominant colour of a histogram (channels 0, 1, 2 are blue, green, red).
QColor Dominant(const Histogram2& histogram)
{
    return QColor(histogram.peakLevel[2], histogram.peakLevel[1], histogram.peakLevel[0]);
}

double Distance(const QColor& a, const QColor& b)
{
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
}

// The dominant colours of the face's visible pixels and of what lies behind exactly those pixels, counted
// as Auto Adjust counts them.
std::pair<QColor, QColor> DominantColours(Document& document, Layer& face)
{
    const std::unique_ptr<ImageReference> behind = document.RenderSelectedLayer();
    Histogram2 layer;
    Histogram2 background;
    if (behind && face.GetImage()) {
        CountLevels(*face.GetImage(), static_cast<int32_t>(face.cropTopLeft.x * face.size.x),
                    static_cast<int32_t>(face.cropTopLeft.y * face.size.y), *behind, layer, background);
    }
    layer.Analyze();
    background.Analyze();
    return {Dominant(layer), Dominant(background)};
}

// Takes everything outside the ellipse (in the layer's content pixels) off the layer's mask, the way the
// outline tool leaves a face.
void OutlineFace(Layer& face, const QRectF& ellipse)
{
    Image& work = *face.GetImage();
    std::vector<uint8_t> mask(static_cast<size_t>(work.width) * static_cast<size_t>(work.height));
    const QPointF centre = ellipse.center();
    const double rx = ellipse.width() / 2, ry = ellipse.height() / 2;
    for (int32_t y = 0; y < work.height; ++y) {
        for (int32_t x = 0; x < work.width; ++x) {
            const double dx = (x + 0.5 - centre.x()) / rx, dy = (y + 0.5 - centre.y()) / ry;
            mask[static_cast<size_t>(y) * work.width + x] = dx * dx + dy * dy <= 1 ? 255 : 0;
        }
    }
    work.ApplyMask(mask.data(), work.width, 0, 0, 0, 0, work.width, work.height);
}

} // namespace

std::optional<SkinMatch> MatchFaceOnScene(const QString& tree, int scene, const FacePhoto& face, QString& error)
{
    ScopedAppPaths paths;
    paths.Get().cacheFolder = tree.endsWith(QLatin1Char('/')) ? tree : tree + QLatin1Char('/');

    Document document;
    document.NewScene(scene, QString(), true);
    if (!document.scene || !document.scene->GetImage() || document.layers.GetCount() != 1) {
        error = QStringLiteral("scene %1 did not load with its background").arg(scene);
        return std::nullopt;
    }
    Layer* layer = document.InsertLayer(LayerKindOwnFile, 0, 1, face.path, QString(), 0, Rect{});
    const QSize photo = QImageReader(face.path).size();
    if (!layer || !layer->GetImage() || photo.isEmpty()) {
        error = QStringLiteral("the face %1 did not load").arg(face.path);
        return std::nullopt;
    }
    // The loader enlarges small photos by a whole factor.
    const double factor = layer->size.x / photo.width();
    const QRectF ellipse(face.face.topLeft() * factor, face.face.size() * factor);
    layer->cropTopLeft = {static_cast<float>(ellipse.left() / layer->size.x),
                          static_cast<float>(ellipse.top() / layer->size.y)};
    layer->cropBottomRight = {static_cast<float>(ellipse.right() / layer->size.x),
                              static_cast<float>(ellipse.bottom() / layer->size.y)};
    OutlineFace(*layer, ellipse);
    // Fitted as the wizard fits it (on the head, which stands in the middle), then made smaller where it
    // reaches past the face that no hair covers, and moved onto it.
    layer->FitToBackground();
    const QSize sceneSize(static_cast<int>(document.scene->size.x), static_cast<int>(document.scene->size.y));
    const QRectF skin = SceneArt::FaceBox(sceneSize);
    const double shown = std::min({1.0, skin.width() / (ellipse.width() * layer->scale.x),
                                   skin.height() / (ellipse.height() * layer->scale.y)});
    layer->scale = {static_cast<float>(layer->scale.x * shown), static_cast<float>(layer->scale.y * shown)};
    layer->position = {static_cast<float>(skin.center().x()), static_cast<float>(skin.center().y())};
    document.selectedIndex = 1;

    SkinMatch match;
    std::tie(match.faceBefore, match.skinBehind) = DominantColours(document, *layer);
    if (!MatchColors(document, *layer)) {
        error = QStringLiteral("Auto Adjust found nothing behind the face on scene %1").arg(scene);
        return std::nullopt;
    }
    layer->ApplyColor();
    match.faceAfter = DominantColours(document, *layer).first;
    match.distanceBefore = Distance(match.faceBefore, match.skinBehind);
    match.distanceAfter = Distance(match.faceAfter, match.skinBehind);
    return match;
}

FacePhoto WalkFace()
{
    // The walk crops rocket.jpg to its middle half and drags the crop's top-left corner out by 100 and 60
    // of its enlarged pixels: (110, 77) - (480, 320) of the photo.
    return {DataFile(QStringLiteral("rocket.jpg")), QRectF(110, 77, 370, 243)};
}

FacePhoto PortraitFace(const QString& contentInput)
{
    return {contentInput + QStringLiteral("/astronaut.png"), QRectF(179, 68, 96, 128)};
}
