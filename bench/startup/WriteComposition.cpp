#include "engine/base/Angle.h"
#include "engine/layers/LayerImage.h"
#include "support/BenchComposition.h"
#include "support/BenchPictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

// bench_write_composition <folder>: writes the benchmarks' 8-layer composition as the project
// <folder>/composition.smg, its scene picture beside it, for measuring the program with it open
// (bench/startup/memory).
int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_write_composition <folder>\n");
        return 2;
    }
    InitTrigTables();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    Composition composition;
    Document& document = composition.GetDocument();
    // The composition's own scene lives in a temporary folder: the project's scene is a copy beside it.
    const QString scenePath = folder.filePath(QStringLiteral("scene.png"));
    QFile scene(scenePath);
    if (!scene.open(QIODevice::WriteOnly) ||
        scene.write(BenchPng(SmoothPicture(BenchWidth, BenchHeight, false, 0))) < 0)
        return 1;
    scene.close();
    auto layer = std::make_unique<LayerImage>(QString(), LayerFlagsBackground, 0);
    if (!layer->LoadFile(scenePath))
        return 1;
    layer->position = layer->centre;
    document.scene = std::move(layer);
    return document.OnSaveDocument(folder.filePath(QStringLiteral("composition.smg"))) ? 0 : 1;
}
