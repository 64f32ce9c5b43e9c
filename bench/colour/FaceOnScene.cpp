#include "FaceOnScene.h"

#include "engine/layers/LayerImage.h"

#include <algorithm>
#include <cmath>

namespace {

// Smooth colours; when masked, a round mask with a soft edge, as a cut-out face has.
QImage Picture(bool masked, int seed)
{
    constexpr int w = FaceOnScene::Width;
    constexpr int h = FaceOnScene::Height;
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / (w / 2.0);
            const double dy = (y - h / 2.0) / (h / 2.0);
            const int alpha = masked ? std::clamp(static_cast<int>((1.0 - std::hypot(dx, dy)) * 1024), 0, 255) : 255;
            row[x] = qRgba((x * 3 + seed * 40) & 0xFF, (y * 5 + seed * 70) & 0xFF, ((x + y) / 2) & 0xFF, alpha);
        }
    }
    return image;
}

} // namespace

FaceOnScene::FaceOnScene()
{
    g_paths = &m_paths;
    m_document.scene = Loaded(Picture(false, 0), LayerFlagsBackground, "scene.png");
    face = Loaded(Picture(true, 1), LayerFlagsFace, "face.png").release();
    face->LinkBefore(&m_document.layers);
    m_document.selectedIndex = 0;
}

FaceOnScene::~FaceOnScene()
{
    g_paths = nullptr;
}

std::unique_ptr<LayerImage> FaceOnScene::Loaded(const QImage& image, int32_t flags, const char* name)
{
    const QString path = m_folder.filePath(name);
    image.save(path, "PNG");
    auto layer = std::make_unique<LayerImage>(QString(), flags, 0);
    layer->LoadFile(path);
    layer->cropTopLeft = {0, 0};
    layer->cropBottomRight = {1, 1};
    layer->position = layer->centre;
    return layer;
}
