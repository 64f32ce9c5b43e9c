#include "support/SceneSkin.h"

#include "engine/base/Angle.h"
#include "tools/contentgen/ContentGenerator.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <utility>
#include <vector>

// smg_scene_skin_table [TREE]: for every scene of the sample library (generated afresh, or the library
// tree given, scenes 101 to 105), the distance between a face's dominant colour and the skin behind it,
// before and after Auto Adjust, for the walk's face and a portrait. Exits 3 when a distance grows.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    InitTrigTables();
    QTemporaryDir folder;
    QString tree = folder.filePath(QStringLiteral("tree"));
    ContentGenerator generator({QStringLiteral(SMG_CONTENTGEN_INPUT), tree, folder.filePath(QStringLiteral("program")),
                                QStringLiteral("http://127.0.0.1:8468/")});
    std::vector<std::pair<int, QString>> scenes = {
        {101, "Space"}, {102, "Caf\u00e9"}, {103, "Pets"}, {104, "Outdoors"}, {105, "Outdoors"}};
    if (app.arguments().size() > 1) {
        tree = app.arguments().at(1);
    } else if (!generator.Run()) {
        std::fprintf(stderr, "smg_scene_skin_table: %s\n", qUtf8Printable(generator.ErrorText()));
        return 1;
    } else {
        scenes.clear();
        for (const CatalogWriter::Listed& item : generator.Indexes().at(QStringLiteral("EncList.txt")).items) {
            if (item.category == QStringLiteral("Scenes"))
                scenes.emplace_back(item.number, item.subcategory);
        }
    }
    const struct {
        const char* name;
        FacePhoto photo;
    } faces[] = {{"walk face (rocket.jpg)", WalkFace()},
                 {"portrait (astronaut.png)", PortraitFace(QStringLiteral(SMG_CONTENTGEN_INPUT))}};
    std::printf("| face | scene | skin behind | face before | distance before | face after | distance after |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    bool allShrink = true;
    for (const auto& face : faces) {
        for (const auto& [number, title] : scenes) {
            QString error;
            const std::optional<SkinMatch> match = MatchFaceOnScene(tree, number, face.photo, error);
            if (!match) {
                std::fprintf(stderr, "smg_scene_skin_table: %s\n", qUtf8Printable(error));
                return 1;
            }
            allShrink = allShrink && match->distanceAfter < match->distanceBefore;
            std::printf("| %s | %d %s | %s | %s | %.1f | %s | %.1f |\n", face.name, number,
                        qUtf8Printable(title), qUtf8Printable(match->skinBehind.name()),
                        qUtf8Printable(match->faceBefore.name()), match->distanceBefore,
                        qUtf8Printable(match->faceAfter.name()), match->distanceAfter);
        }
    }
    return allShrink ? 0 : 3;
}
