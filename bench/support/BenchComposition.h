#pragma once

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>

class LayerImage;

// The composition the rendering and editing benchmarks share.

inline constexpr int BenchWidth = 1024;
inline constexpr int BenchHeight = 768;
inline const QString BenchBubbleText = QStringLiteral("Who left the hat on the roof?");

QByteArray BenchPng(const QImage& image);
// A layer whose picture comes from a stored block (no enlargement), then given its flags, uncropped.
std::unique_ptr<LayerImage> StoredPictureLayer(const QImage& image, int32_t flags);

// A 1024 x 768 scene with eight layers in front: three masked faces, three accessories with alpha and
// two speech bubbles 320 document pixels wide along the bottom, each moved, scaled and rotated; or
// without the bubbles, to tell their share. Made as the program makes it: the scene and the faces are
// picture files of our own (in contentFolder, by default a temporary one), the accessories and bubbles
// content in the cache, each added through the journal's records as the wizard's choices add them.
// g_paths points at temporary folders while it lives.
class Composition {
public:
    explicit Composition(bool withBubbles = true, const QString& contentFolder = QString());
    ~Composition();
    Composition(const Composition&) = delete;
    Composition& operator=(const Composition&) = delete;

    Document& GetDocument() { return m_document; }

    static constexpr float BubbleWidth = 320.0f;

private:
    QTemporaryDir m_folder;
    AppPaths m_paths;
    Document m_document;
};
