#include "support/SceneSkin.h"

#include "engine/base/Angle.h"
#include "tools/contentgen/ContentGenerator.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QString Hex(const QColor& colour)
{
    return colour.name();
}

} // namespace

// smg_scene_skin_table: for every scene of the sample library, the distance between a face's dominant
// colour and the skin behind it, before and after Auto Adjust, for the walk's face and a portrait.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    InitTrigTables();
    QTemporaryDir folder;
    const QString tree = folder.filePath(QStringLiteral("tree"));
    ContentGenerator generator({QStringLiteral(SMG_CONTENTGEN_INPUT), tree, folder.filePath(QStringLiteral("program")),
                                QStringLiteral("http://127.0.0.1:8468/")});
    if (!generator.Run()) {
        std::fprintf(stderr, "smg_scene_skin_table: %s\n", qUtf8Printable(generator.ErrorText()));
        return 1;
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
        for (const CatalogWriter::Listed& item : generator.Indexes().at(QStringLiteral("EncList.txt")).items) {
            if (item.category != QStringLiteral("Scenes"))
                continue;
            QString error;
            const std::optional<SkinMatch> match = MatchFaceOnScene(tree, item.number, face.photo, error);
            if (!match) {
                std::fprintf(stderr, "smg_scene_skin_table: %s\n", qUtf8Printable(error));
                return 1;
            }
            allShrink = allShrink && match->distanceAfter < match->distanceBefore;
            std::printf("| %s | %d %s | %s | %s | %.1f | %s | %.1f |\n", face.name, item.number,
                        qUtf8Printable(item.subcategory), qUtf8Printable(Hex(match->skinBehind)),
                        qUtf8Printable(Hex(match->faceBefore)), match->distanceBefore,
                        qUtf8Printable(Hex(match->faceAfter)), match->distanceAfter);
        }
    }
    return allShrink ? 0 : 3;
}
