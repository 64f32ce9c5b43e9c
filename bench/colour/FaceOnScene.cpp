#include "FaceOnScene.h"

#include "support/BenchPictures.h"

#include "engine/layers/LayerImage.h"

FaceOnScene::FaceOnScene()
{
    g_paths = &m_paths;
    m_document.scene = Loaded(SmoothPicture(Width, Height, false, 0), LayerFlagsBackground, "scene.png");
    face = Loaded(SmoothPicture(Width, Height, true, 1), LayerFlagsFace, "face.png").release();
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
