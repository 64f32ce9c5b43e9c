#include "support/SceneSkin.h"
#include "support/ScopedAppPaths.h"

#include "engine/document/Document.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"
#include "library/catalog/Catalog.h"
#include "tools/contentgen/ContentGenerator.h"
#include "tools/contentgen/SceneArt.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// The sample library generated once for the suite; its tree stands in for the program's content cache.
class SampleScenesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<QTemporaryDir>();
        ContentGenerator generator({QStringLiteral(SMG_CONTENTGEN_INPUT), Tree(),
                                    s_folder->filePath(QStringLiteral("program")), QStringLiteral("http://127.0.0.1:1/")});
        ASSERT_TRUE(generator.Run()) << generator.ErrorText().toStdString();
        s_items = generator.Indexes().at(QStringLiteral("EncList.txt")).items;
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    static QString Tree() { return s_folder->filePath(QStringLiteral("tree")); }
    static QString InTree(const QString& relative) { return Tree() + QLatin1Char('/') + relative; }
    static std::vector<int> ScenesCategory()
    {
        std::vector<int> numbers;
        for (const CatalogWriter::Listed& item : s_items) {
            if (item.category == QStringLiteral("Scenes"))
                numbers.push_back(item.number);
        }
        return numbers;
    }

    // The picture as the program loads it: decoded and enlarged by a whole factor when small.
    static QImage Loaded(const QString& relative)
    {
        ImageReference image;
        EXPECT_TRUE(image.Load(InTree(relative), true)) << relative.toStdString();
        return image.Picture() ? image.Picture()->convertToFormat(QImage::Format_RGB32) : QImage();
    }

    static inline std::unique_ptr<QTemporaryDir> s_folder;
    static inline std::vector<CatalogWriter::Listed> s_items;
};

int LargestDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

// The face items of the scene browser had no background: chosen as the scene, the photo (512 x 512,
// loaded at 1024 x 1024) was laid on a failed 512 x 512 placeholder, and the saved picture showed its
// top-left corner on black.
TEST_F(SampleScenesTest, RegressionFaceItemsChosenAsSceneShowAZoomedCornerOnBlack)
{
    ASSERT_FALSE(s_items.empty());
    for (const CatalogWriter::Listed& item : s_items) {
        SCOPED_TRACE(item.number);
        ScopedAppPaths paths;
        paths.Get().cacheFolder = Tree() + QLatin1Char('/');
        Document document;
        document.NewScene(item.number, item.name, true);
        const QString saved = s_folder->filePath(QStringLiteral("scene-%1.png").arg(item.number));
        ASSERT_TRUE(document.SavePicture(saved));
        const QImage picture = QImage(saved).convertToFormat(QImage::Format_RGB32);

        // The photo covers the whole picture, which is its background's size: every pixel is the photo's.
        const QImage photo = Loaded(QStringLiteral("Scenes/%1.jpg").arg(item.number));
        const QImage background = Loaded(QStringLiteral("BGs/%1.bki").arg(item.number, 4, 10, QLatin1Char('0')));
        ASSERT_EQ(background.size(), photo.size());
        ASSERT_EQ(picture.size(), photo.size());
        int differing = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                differing += LargestDifference(picture.pixel(x, y), photo.pixel(x, y)) > 2;
        }
        EXPECT_EQ(differing, 0);
    }
}

// Auto Adjust matches a face to what lies behind exactly its pixels; the scenes' people had no head, so
// behind the face lay sky or wall and a face turned grey-blue. Now every scene's person has a head of a
// skin of its own where the face goes, the background shows the scene without it, and Auto Adjust
// brings the face's dominant colour nearer to that skin.
TEST_F(SampleScenesTest, RegressionAutoAdjustMatchesTheFaceToTheSkinOfTheHeadBehindIt)
{
    const std::vector<int> scenes = ScenesCategory();
    ASSERT_EQ(scenes.size(), 5u);
    const FacePhoto faces[] = {WalkFace(), PortraitFace(QStringLiteral(SMG_CONTENTGEN_INPUT))};
    std::vector<QColor> skins;
    for (const int scene : scenes) {
        SCOPED_TRACE(scene);
        const QImage photo = Loaded(QStringLiteral("Scenes/%1.jpg").arg(scene));
        const QImage background = Loaded(QStringLiteral("BGs/%1.bki").arg(scene, 4, 10, QLatin1Char('0')));
        // The photo's head is not in the background, where the face goes.
        const QRectF skin = SceneArt::FaceBox(photo.size());
        const QPoint forehead = (skin.center() - QPointF(0, skin.height() * 0.3)).toPoint();
        EXPECT_GT(LargestDifference(photo.pixel(forehead), background.pixel(forehead)), 40);

        for (const FacePhoto& face : faces) {
            SCOPED_TRACE(face.path.toStdString());
            QString error;
            const std::optional<SkinMatch> match = MatchFaceOnScene(Tree(), scene, face, error);
            ASSERT_TRUE(match) << error.toStdString();
            EXPECT_LT(LargestDifference(match->skinBehind.rgb(), photo.pixel(forehead)), 24);
            EXPECT_LT(match->distanceAfter, match->distanceBefore * 0.8);
        }
        skins.push_back(QColor(photo.pixel(forehead)));
    }
    // A tone of its own in every scene.
    for (size_t i = 0; i < skins.size(); ++i) {
        for (size_t j = i + 1; j < skins.size(); ++j)
            EXPECT_GT(LargestDifference(skins[i].rgb(), skins[j].rgb()), 12) << i << " " << j;
    }
}
