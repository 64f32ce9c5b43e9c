#include "engine/base/Angle.h"
#include "engine/layers/Image.h"
#include "engine/layers/Layer.h"
#include "support/BenchComposition.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <vector>

namespace {

// What a layer is and shows, to tell whether a project reads back as it was written.
struct LayerSummary {
    int32_t kind = 0;
    int32_t flags = 0;
    int32_t number = 0;
    QString path;
    QString text;
    PointF position, scale, size, cropTopLeft, cropBottomRight;
    Angle angle = 0;
    int32_t width = 0;
    int32_t height = 0;
    QByteArray pixels;
    bool operator==(const LayerSummary&) const = default;
};

LayerSummary Summarise(Layer& layer)
{
    LayerSummary summary{layer.kind, layer.flags, layer.number, layer.path, layer.GetText(), layer.position,
                         layer.scale, layer.size, layer.cropTopLeft, layer.cropBottomRight, layer.angle};
    if (Image* image = layer.GetImage(); image && image->GetBits()) {
        summary.width = image->width;
        summary.height = image->height;
        summary.pixels = QByteArray(reinterpret_cast<const char*>(image->GetBits()),
                                    static_cast<qsizetype>(image->pitch) * image->height);
    }
    return summary;
}

// The scene first, then the layers from back to front.
std::vector<LayerSummary> Summarise(Document& document)
{
    std::vector<LayerSummary> layers;
    if (document.scene)
        layers.push_back(Summarise(*document.scene));
    for (int32_t i = 0; i < document.layers.GetCount(); ++i)
        layers.push_back(Summarise(*document.layers.GetAt(i)));
    return layers;
}

// Copies the content the composition took from its cache (accessories, bubbles) into the program's
// cache, so that the program opens the project with every layer loaded.
bool CopyCachedContent(const QDir& from, const QDir& to)
{
    for (const QString sub : {QStringLiteral("Accessories"), QStringLiteral("Bubbles")}) {
        if (!to.mkpath(sub))
            return false;
        const QDir source(from.filePath(sub));
        for (const QString& name : source.entryList(QDir::Files)) {
            const QString target = to.filePath(sub + u'/' + name);
            QFile::remove(target);
            if (!QFile::copy(source.filePath(name), target))
                return false;
        }
    }
    return true;
}

} // namespace

// bench_write_composition <folder> [<program cache>]: writes the benchmarks' 8-layer composition as the project
// <folder>/composition.smg, its scene and face pictures beside it, for measuring the program with it open
// (bench/startup/memory); then reads it back and fails unless every layer (kind, flags, content, text,
// placement, crop, picture) is as written. With a program cache named, the accessories and bubbles the
// project names are put there too.
int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: bench_write_composition <folder> [<program cache>]\n");
        return 2;
    }
    InitTrigTables();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    Composition composition(true, folder.path());
    Document& written = composition.GetDocument();
    const QString project = folder.filePath(QStringLiteral("composition.smg"));
    if (!written.OnSaveDocument(project)) {
        std::fprintf(stderr, "the composition could not be saved\n");
        return 1;
    }
    Document read;
    if (!read.OnOpenDocument(project)) {
        std::fprintf(stderr, "the composition could not be opened\n");
        return 1;
    }
    const std::vector<LayerSummary> expected = Summarise(written);
    const std::vector<LayerSummary> actual = Summarise(read);
    if (actual.size() != expected.size()) {
        std::fprintf(stderr, "read back %zu layers (scene included) where %zu were written\n", actual.size(),
                     expected.size());
        return 1;
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        if (!(actual[i] == expected[i])) {
            std::fprintf(stderr, "layer %zu (kind %d) did not read back as written\n", i, expected[i].kind);
            return 1;
        }
    }
    if (argc == 3 && !CopyCachedContent(QDir(g_paths->cacheFolder), QDir(QString::fromLocal8Bit(argv[2])))) {
        std::fprintf(stderr, "the composition's content could not be put in the program's cache\n");
        return 1;
    }
    std::printf("%s: the scene and %zu layers read back as written\n", qPrintable(project), expected.size() - 1);
    return 0;
}
