#pragma once

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"

#include <QImage>
#include <QTemporaryDir>
#include <memory>

class LayerImage;

// A 1024 x 768 scene and, selected in front of it, a 1024 x 768 face with a round soft-edged mask
// covering it exactly; g_paths points to temporary folders while it lives.
class FaceOnScene {
public:
    FaceOnScene();
    ~FaceOnScene();
    FaceOnScene(const FaceOnScene&) = delete;
    FaceOnScene& operator=(const FaceOnScene&) = delete;

    Document& GetDocument() { return m_document; }
    Layer* face = nullptr;

    static constexpr int Width = 1024;
    static constexpr int Height = 768;

private:
    std::unique_ptr<LayerImage> Loaded(const QImage& image, int32_t flags, const char* name);

    QTemporaryDir m_folder;
    AppPaths m_paths{m_folder.filePath("program"), QStringList{m_folder.filePath("data")}};
    Document m_document;
};
