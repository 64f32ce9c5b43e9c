#include "MetafileCheck.h"
#include "tests/metafile/PixelCompare.h"
#include "engine/base/AppPaths.h"
#include "engine/base/Scramble.h"
#include "engine/document/Document.h"
#include "engine/layers/ImageMeta.h"
#include "engine/layers/ImageReference.h"
#include "library/catalog/Catalog.h"
#include "support/SceneSkin.h"
#include "support/ScopedAppPaths.h"
#include "support/TestFiles.h"
#include "support/PageLinks.h"
#include "support/TestPictures.h"
#include "tools/contentgen/BubbleShape.h"
#include "tools/contentgen/ResourceArt.h"
#include "tools/contentgen/ContentGenerator.h"
#include "tools/contentgen/SceneArt.h"
#include "tools/contentgen/SitePages.h"
#include "tools/contentgen/Thumbnail.h"
#include "tools/contentserver/ContentServer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <uemf.h>

#include <map>
#include <memory>
#include <set>

namespace {

// Every file below a folder by its relative path, with its bytes.
std::map<QString, QByteArray> Files(const QString& root)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(root).relativeFilePath(path)] = ReadFile(path);
    }
    return files;
}

// The items of subcategory s of category c.
std::vector<FileItem> ItemsOf(const Catalog& catalog, int32_t c, int32_t s)
{
    const auto first = catalog.items.begin() + catalog.GetSubcategoryFirstItem(c, s);
    return std::vector<FileItem>(first, first + catalog.GetItemCount(c, s));
}

// Every item of every subcategory of category c.
std::vector<FileItem> ItemsOf(const Catalog& catalog, int32_t c)
{
    std::vector<FileItem> items;
    for (int32_t s = 0; s < catalog.GetSubcategoryCount(c); ++s) {
        const std::vector<FileItem> own = ItemsOf(catalog, c, s);
        items.insert(items.end(), own.begin(), own.end());
    }
    return items;
}

class GeneratedLibraryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(Generate(Tree(), Program(), QString::fromLatin1(AppPaths::DefaultServerUrl), &s_summary));
        for (const char* name : {"EncList", "ThumbsA", "ThumbsB"})
            s_index[QString::fromLatin1(name)] = Index(Tree(), QString::fromLatin1(name));
    }
    static void TearDownTestSuite()
    {
        s_index.clear();
        s_folder.reset();
    }

    static bool Generate(const QString& tree, const QString& program, const QString& baseUrl,
                         ContentGenerator::Summary* summary = nullptr)
    {
        ContentGenerator generator({QStringLiteral(SMG_CONTENTGEN_INPUT), tree, program, baseUrl});
        const bool done = generator.Run();
        EXPECT_TRUE(done) << generator.ErrorText().toStdString();
        if (summary)
            *summary = generator.Counts();
        if (done && tree == Tree())
            s_written = generator.Indexes();
        return done;
    }

    static QString Tree() { return s_folder->filePath(QStringLiteral("tree")); }
    static QString Program() { return s_folder->filePath(QStringLiteral("program")); }
    static QString InTree(const QString& relative) { return Tree() + QLatin1Char('/') + relative; }

    // The index read by the program's catalogue; its thumbnails are not fetched (no request queue).
    static std::unique_ptr<Catalog> Index(const QString& tree, const QString& name)
    {
        const QString folder = name == QLatin1String("EncList") ? QStringLiteral("Thumbs") : name;
        auto catalog = std::make_unique<Catalog>(name, folder);
        EXPECT_TRUE(catalog->Parse(tree + QLatin1Char('/') + name + QStringLiteral(".txt"))) << name.toStdString();
        return catalog;
    }

    static const Catalog& Scenes() { return *s_index[QStringLiteral("EncList")]; }
    static const Catalog& Accessories() { return *s_index[QStringLiteral("ThumbsA")]; }
    static const Catalog& Bubbles() { return *s_index[QStringLiteral("ThumbsB")]; }

    static inline std::unique_ptr<QTemporaryDir> s_folder;
    static inline ContentGenerator::Summary s_summary;
    static inline std::map<QString, CatalogWriter::Listing> s_written;
    static inline std::map<QString, std::unique_ptr<Catalog>> s_index;
};

TEST_F(GeneratedLibraryTest, IndexesParseExactlyAsTheGeneratorWroteThem)
{
    ASSERT_EQ(s_written.size(), s_index.size());
    for (const auto& [name, catalog] : s_index) {
        const CatalogWriter::Listing& written = s_written.at(name + QStringLiteral(".txt"));
        // Walked as the browsers walk it: categories, their subcategories, their items.
        std::vector<CatalogWriter::Listed> parsed;
        for (int32_t c = 0; c < static_cast<int32_t>(catalog->categories.size()); ++c) {
            for (int32_t s = 0; s < catalog->GetSubcategoryCount(c); ++s) {
                for (const FileItem& item : ItemsOf(*catalog, c, s)) {
                    const Rect& r = item.rect;
                    parsed.push_back({catalog->GetCategoryName(c), catalog->GetSubcategoryName(c, s), item.first,
                                      item.name, QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)});
                }
            }
        }
        ASSERT_EQ(parsed.size(), written.items.size()) << name.toStdString();
        ASSERT_EQ(catalog->items.size(), written.items.size()) << name.toStdString();
        for (size_t i = 0; i < parsed.size(); ++i) {
            const CatalogWriter::Listed& a = parsed[i];
            const CatalogWriter::Listed& b = written.items[i];
            EXPECT_EQ(a.category, b.category) << name.toStdString() << " item " << i;
            EXPECT_EQ(a.subcategory, b.subcategory) << name.toStdString() << " item " << i;
            EXPECT_EQ(a.number, b.number) << name.toStdString() << " item " << i;
            EXPECT_EQ(a.name, b.name) << name.toStdString() << " item " << i;
            EXPECT_EQ(a.rect, b.rect) << name.toStdString() << " item " << i;
        }
        EXPECT_EQ(catalog->defaultScene, written.defaultScene) << name.toStdString();
        EXPECT_EQ(catalog->defaultFace, written.defaultFace) << name.toStdString();
        // Every item sits in a category: the walk above reached each one.
        for (int32_t i = 0; i < static_cast<int32_t>(catalog->items.size()); ++i) {
            int32_t c = -1;
            int32_t s = -1;
            EXPECT_TRUE(catalog->Locate(i, c, s)) << name.toStdString() << " item " << i;
        }
    }
}

TEST_F(GeneratedLibraryTest, IndexFilesAreScrambledUtf8WithNothingHiddenOrRegrouped)
{
    for (const auto& [name, catalog] : s_index) {
        const QString file = name + QStringLiteral(".txt");
        const QByteArray stored = ReadFile(InTree(file));
        const std::optional<QByteArray> plain = ReadScrambledFile(InTree(file));
        ASSERT_TRUE(plain);
        EXPECT_NE(stored, *plain) << "stored scrambled";
        EXPECT_TRUE(plain->startsWith('<')) << name.toStdString();
        EXPECT_TRUE(QString::fromUtf8(*plain).toUtf8() == *plain) << "valid UTF-8";
        // One tag a line, and the reader finds every one of them: no quote hid a tag.
        const qsizetype lines = plain->count('\n');
        EXPECT_EQ(static_cast<size_t>(lines), catalog->categories.size() + catalog->subcategories.size() +
                                                  catalog->items.size() + (catalog->defaultScene != -1) +
                                                  (catalog->defaultFace != -1));
        EXPECT_EQ(plain->count('\''), 0);
        // Every category has subcategories, every subcategory items, in file order.
        ASSERT_FALSE(catalog->categories.empty());
        for (int32_t c = 0; c < static_cast<int32_t>(catalog->categories.size()); ++c) {
            EXPECT_GT(catalog->GetSubcategoryCount(c), 0) << name.toStdString() << " category " << c;
            for (int32_t s = 0; s < catalog->GetSubcategoryCount(c); ++s)
                EXPECT_GT(catalog->GetItemCount(c, s), 0) << name.toStdString() << " subcategory " << s;
        }
        std::set<int> numbers;
        for (const FileItem& item : catalog->items) {
            EXPECT_TRUE(numbers.insert(item.first).second) << "item " << item.first << " twice";
            EXPECT_GT(item.first, 0);
            EXPECT_FALSE(item.name.isEmpty());
        }
    }
}

TEST_F(GeneratedLibraryTest, SceneIndexOpensOnScenesAndNamesTheAddresses)
{
    const Catalog& index = Scenes();
    ASSERT_GE(index.categories.size(), 3u);
    EXPECT_EQ(index.categories[2].name, QStringLiteral("Scenes"));
    ASSERT_EQ(index.defaultScene, 101);
    EXPECT_EQ(index.defaultFace, 201);
    std::set<int> numbers;
    for (const FileItem& item : index.items) {
        numbers.insert(item.first);
        EXPECT_EQ(item.name, QStringLiteral("http://127.0.0.1:8468/Scenes/%1.jpg").arg(item.first));
        // The browser's caption leaves out the first seven characters.
        EXPECT_EQ(item.name.mid(7), QStringLiteral("127.0.0.1:8468/Scenes/%1.jpg").arg(item.first));
    }
    EXPECT_TRUE(numbers.count(index.defaultScene));
    EXPECT_TRUE(numbers.count(index.defaultFace));
    // Every item (the faces too: the browser offers them as scenes) has a background of the same number
    // and the same size.
    for (const FileItem& item : index.items) {
        // The photo lies on its background only when both have the same size once loaded.
        ImageReference photo, background;
        ASSERT_TRUE(photo.Load(InTree(QStringLiteral("Scenes/%1.jpg").arg(item.first)), true));
        ASSERT_TRUE(background.Load(InTree(QStringLiteral("BGs/%1.bki").arg(item.first, 4, 10, QLatin1Char('0'))),
                                    true))
            << item.first;
        EXPECT_EQ(background.width, photo.width) << item.first;
        EXPECT_EQ(background.height, photo.height) << item.first;
        const QSize stored = QImage(InTree(QStringLiteral("Scenes/%1.jpg").arg(item.first))).size();
        EXPECT_EQ(item.rect, (Rect{0, 0, stored.width(), stored.height()})) << item.first;
    }
    EXPECT_EQ(static_cast<int>(ItemsOf(index, 2).size()), s_summary.scenes);
    EXPECT_EQ(static_cast<int>(index.items.size()), s_summary.scenes + s_summary.faces);
    EXPECT_EQ(QDir(InTree(QStringLiteral("BGs"))).entryList(QDir::Files).size(), index.items.size());
}

TEST_F(GeneratedLibraryTest, EveryItemHasItsContentAndThumbnail)
{
    int thumbnails = 0;
    for (const auto& [name, index] : s_index) {
        const QString folder = name == QLatin1String("EncList") ? QStringLiteral("Thumbs") : name;
        for (const FileItem& item : index->items) {
            const QByteArray thumbnail = ReadFile(InTree(QStringLiteral("%1/%2.jpg").arg(folder).arg(item.first)));
            EXPECT_TRUE(thumbnail.startsWith("\xFF\xD8\xFF")) << folder.toStdString() << " " << item.first;
            const QImage picture = DecodedPicture(thumbnail, "JPEG");
            ASSERT_FALSE(picture.isNull()) << item.first;
            EXPECT_LE(picture.width(), Thumbnail::MaxWidth);
            EXPECT_LE(picture.height(), Thumbnail::MaxHeight);
            EXPECT_TRUE(picture.width() == Thumbnail::MaxWidth || picture.height() == Thumbnail::MaxHeight);
            ++thumbnails;
        }
    }
    EXPECT_EQ(thumbnails, s_summary.thumbnails);

    for (const FileItem& item : Scenes().items) {
        const QByteArray jpeg = ReadFile(InTree(QStringLiteral("Scenes/%1.jpg").arg(item.first)));
        EXPECT_TRUE(jpeg.startsWith("\xFF\xD8\xFF"));
        EXPECT_FALSE(DecodedPicture(jpeg, "JPEG").isNull()) << item.first;
    }
    for (const FileItem& item : Accessories().items) {
        const QByteArray png = ReadFile(InTree(QStringLiteral("Accessories/%1.png").arg(item.first)));
        EXPECT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n"));
        const QImage picture = DecodedPicture(png, "PNG");
        ASSERT_TRUE(picture.hasAlphaChannel()) << item.first;
        int transparent = 0, opaque = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                transparent += qAlpha(picture.pixel(x, y)) == 0 ? 1 : 0;
                opaque += qAlpha(picture.pixel(x, y)) == 255 ? 1 : 0;
            }
        }
        const int area = picture.width() * picture.height();
        EXPECT_GT(transparent, area / 10) << item.first;
        EXPECT_GT(opaque, area / 10) << item.first;
        EXPECT_EQ(item.rect.right, picture.width());
        EXPECT_EQ(item.rect.bottom, picture.height());
    }
    // An accessory layer is named after its subcategory: singular titles, no two the same.
    std::set<QString> titles;
    for (const FileItem& subcategory : Accessories().subcategories)
        EXPECT_TRUE(titles.insert(subcategory.name).second);
    EXPECT_EQ(static_cast<int>(Accessories().items.size()), s_summary.accessories);
}

TEST_F(GeneratedLibraryTest, BubblesAreMetafilesWithTheirTextInsideTheBounds)
{
    ASSERT_EQ(static_cast<int>(Bubbles().items.size()), s_summary.bubbles);
    for (const FileItem& item : Bubbles().items) {
        const QString path = InTree(QStringLiteral("Bubbles/%1.emf").arg(item.first));
        const std::optional<MetafileCheck> check = MetafileCheck::Read(ReadFile(path));
        ASSERT_TRUE(check) << item.first;
        EXPECT_EQ(check->bounds.topLeft(), QPoint(0, 0));
        // The program sizes a bubble by its bounds: right - left by bottom - top.
        ImageMeta bubble;
        ASSERT_TRUE(bubble.Load(path, false)) << item.first;
        const int width = bubble.width, height = bubble.height;
        EXPECT_EQ(width, check->bounds.right() - check->bounds.left());
        EXPECT_EQ(height, check->bounds.bottom() - check->bounds.top());
        EXPECT_GT(item.rect.right, item.rect.left) << item.first;
        EXPECT_GT(item.rect.bottom, item.rect.top) << item.first;
        EXPECT_GE(item.rect.left, 0);
        EXPECT_GE(item.rect.top, 0);
        EXPECT_LE(item.rect.right, width) << item.first;
        EXPECT_LE(item.rect.bottom, height) << item.first;
    }
    // Our own bubbles at their drawn size, and the imported metafiles unchanged.
    EXPECT_EQ(MetafileCheck::Read(ReadFile(InTree(QStringLiteral("Bubbles/401.emf"))))->bounds,
              QRect(QPoint(0, 0), QPoint(400, 300)));
    EXPECT_EQ(ReadFile(InTree(QStringLiteral("Bubbles/405.emf"))),
              ReadFile(QStringLiteral(SMG_CONTENTGEN_INPUT "/oval.emf")));
}

// The bubbles that print words and show a photo: listed next after the others, with the text's room as
// their rectangle, and their metafiles holding a text record and a clipped picture.
TEST_F(GeneratedLibraryTest, PowAndPhotoFrameBubblesPrintTextAndShowAPictureInAClip)
{
    std::set<int> numbers;
    for (const FileItem& item : Bubbles().items)
        numbers.insert(item.first);
    EXPECT_EQ(numbers, (std::set<int>{401, 402, 403, 404, 405, 406, 407, 408, 409}));

    const struct {
        int number;
        const char* category;
        const char* subcategory;
        const char* name;
        BubbleShape::Style style;
        uint32_t shows;  // the record that draws what is new in it
    } expected[] = {{408, "Shout", "Shout", "Pow", BubbleShape::Style::Pow, U_EMR_EXTTEXTOUTW},
                    {409, "Speech", "Photo", "Photo Frame", BubbleShape::Style::PhotoFrame, U_EMR_STRETCHDIBITS}};
    for (const auto& bubble : expected) {
        SCOPED_TRACE(bubble.number);
        bool listed = false;
        for (int32_t c = 0; c < static_cast<int32_t>(Bubbles().categories.size()); ++c) {
            for (int32_t s = 0; s < Bubbles().GetSubcategoryCount(c); ++s) {
                for (const FileItem& item : ItemsOf(Bubbles(), c, s)) {
                    if (item.first != bubble.number)
                        continue;
                    listed = true;
                    EXPECT_EQ(Bubbles().GetCategoryName(c), QString::fromUtf8(bubble.category));
                    EXPECT_EQ(Bubbles().GetSubcategoryName(c, s), QString::fromUtf8(bubble.subcategory));
                    EXPECT_EQ(item.name, QString::fromUtf8(bubble.name));
                    // The metafile's bounds are the shape's pixels, so the text's room is its rectangle.
                    const QRect room = BubbleShape::Make(bubble.style).textRect;
                    EXPECT_EQ(item.rect, (Rect{room.left(), room.top(), room.left() + room.width(),
                                               room.top() + room.height()}));
                }
            }
        }
        EXPECT_TRUE(listed);
        const std::optional<MetafileCheck> check =
            MetafileCheck::Read(ReadFile(InTree(QStringLiteral("Bubbles/%1.emf").arg(bubble.number))));
        ASSERT_TRUE(check);
        EXPECT_GT(check->IndexOf(bubble.shows), check->IndexOf(U_EMR_STROKEANDFILLPATH));
    }

    // The frame's picture is the cat's photo: a bitmap of many colours under a clip path.
    const std::optional<MetafileCheck> frame = MetafileCheck::Read(ReadFile(InTree(QStringLiteral("Bubbles/409.emf"))));
    ASSERT_TRUE(frame);
    EXPECT_LT(frame->IndexOf(U_EMR_SELECTCLIPPATH), frame->IndexOf(U_EMR_STRETCHDIBITS));
    QByteArray bytes;
    const U_EMRSTRETCHDIBITS blit = frame->First<U_EMRSTRETCHDIBITS>(U_EMR_STRETCHDIBITS, &bytes);
    ASSERT_GT(blit.cbBitsSrc, 0u);
    ASSERT_LE(qsizetype(blit.offBitsSrc) + qsizetype(blit.cbBitsSrc), bytes.size());
    std::set<QRgb> colours;
    for (uint32_t i = 0; i + 2 < blit.cbBitsSrc; i += 3) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData() + blit.offBitsSrc + i);
        colours.insert(qRgb(p[2], p[1], p[0]));
    }
    EXPECT_GT(colours.size(), 1000u);
}

TEST_F(GeneratedLibraryTest, ProgramFolderGetsTheScrambledResourcePictures)
{
    const struct {
        const char* name;
        QSize size;
        int bitsPerPixel;
        bool scaleUp;  // the scene layer enlarges small pictures; the brush does not
    } resources[] = {{"welcome.bki", {1024, 768}, 24, true},
                     {"paint.bki", {128, 128}, 32, false},
                     {"erase.bki", {128, 128}, 32, false}};
    for (const auto& resource : resources) {
        const QString path = Program() + QLatin1Char('/') + QLatin1String(resource.name);
        const std::optional<QByteArray> plain = ReadScrambledFile(path);
        ASSERT_TRUE(plain) << resource.name;
        EXPECT_NE(ReadFile(path), *plain) << "stored scrambled";
        // Loaded as the program loads them (the ".bki" ending goes through the scrambled reader); the
        // welcome picture is wide enough not to be enlarged.
        ImageReference image;
        ASSERT_TRUE(image.Load(path, resource.scaleUp)) << resource.name;
        EXPECT_EQ(QSize(image.width, image.height), resource.size) << resource.name;
        EXPECT_EQ(image.bitsPerPixel, resource.bitsPerPixel) << resource.name;
    }
    // The stamps' bytes (blue, green, red, alpha) as the brush blends them.
    ImageReference paint, erase;
    ASSERT_TRUE(paint.Load(Program() + QStringLiteral("/paint.bki"), false));
    ASSERT_TRUE(erase.Load(Program() + QStringLiteral("/erase.bki"), false));
    for (const QPoint p : {QPoint(64, 64), QPoint(0, 0), QPoint(100, 64), QPoint(110, 70)}) {
        const uint8_t* painted = paint.GetBits() + p.y() * paint.pitch + p.x() * 4;
        const uint8_t* erased = erase.GetBits() + p.y() * erase.pitch + p.x() * 4;
        const int alpha = ResourceArt::StampAlpha(p.x(), p.y());
        EXPECT_EQ(std::vector<int>(painted, painted + 4), std::vector<int>({alpha, alpha, alpha, alpha}));
        EXPECT_EQ(std::vector<int>(erased, erased + 4), std::vector<int>({0, 0, 0, alpha}));
    }
}

TEST_F(GeneratedLibraryTest, TreeHoldsExactlyWhatTheIndexesList)
{
    std::set<QString> expected = {QStringLiteral("EncList.txt"), QStringLiteral("ThumbsA.txt"),
                                  QStringLiteral("ThumbsB.txt")};
    for (const FileItem& item : Scenes().items) {
        expected.insert(QStringLiteral("Scenes/%1.jpg").arg(item.first));
        expected.insert(QStringLiteral("Thumbs/%1.jpg").arg(item.first));
        expected.insert(QStringLiteral("BGs/%1.bki").arg(item.first, 4, 10, QLatin1Char('0')));
    }
    for (const FileItem& item : Accessories().items) {
        expected.insert(QStringLiteral("Accessories/%1.png").arg(item.first));
        expected.insert(QStringLiteral("ThumbsA/%1.jpg").arg(item.first));
    }
    for (const FileItem& item : Bubbles().items) {
        expected.insert(QStringLiteral("Bubbles/%1.emf").arg(item.first));
        expected.insert(QStringLiteral("ThumbsB/%1.jpg").arg(item.first));
    }
    // The web site's pages and the one picture of its own.
    expected.insert(QString::fromLatin1(SitePages::HomePage));
    expected.insert(QString::fromLatin1(SitePages::HelpPage));
    expected.insert(QString::fromLatin1(SitePages::WelcomePicture));
    std::set<QString> present;
    for (const auto& [path, bytes] : Files(Tree()))
        present.insert(path);
    EXPECT_EQ(present, expected);
    EXPECT_EQ(s_summary.files, static_cast<int>(expected.size()) + 3);
    // Every folder the program caches into is used.
    for (const char* folder : AppPaths::CacheSubfolders)
        EXPECT_TRUE(QDir(InTree(QString::fromLatin1(folder))).exists()) << folder;
}

// The library carries the program's web site: the home page that the server answers for "/" and the help
// page that Online Help opens, each linking only to files of the tree.
TEST_F(GeneratedLibraryTest, TreeCarriesTheWebSiteWhosePagesLinkOnlyToItsOwnFiles)
{
    const QByteArray home = ReadFile(InTree(QString::fromLatin1(SitePages::HomePage)));
    const QByteArray help = ReadFile(InTree(QString::fromLatin1(SitePages::HelpPage)));
    EXPECT_EQ(home, SitePages::Home());
    EXPECT_EQ(help, SitePages::Help());
    EXPECT_EQ(s_summary.pages, 2);
    EXPECT_TRUE(home.startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(home.contains("href=\"help2.html\""));
    EXPECT_TRUE(help.contains("href=\"index.html\""));
    // The help page: the eight steps in order, the tools and the keys, and where the content comes from.
    EXPECT_EQ(help.count("<li>"), 8);
    for (const char* words : {"Choose a background scene", "Choose a face", "Select the face", "Outline the face",
                              "Place the face", "Choose accessories", "Choose a text bubble", "Finish",
                              "Magic Erase", "Ctrl+Z", "Ctrl+[", "ServerUrl", "http://127.0.0.1:8468/"})
        EXPECT_TRUE(help.contains(words)) << words;
    for (const QByteArray& page : {home, help}) {
        ASSERT_FALSE(PagePictures(page).isEmpty());
        for (const QString& link : PageLinks(page))
            EXPECT_TRUE(QFile::exists(InTree(link))) << link.toStdString();
        for (const QString& picture : PagePictures(page))
            EXPECT_FALSE(QImage(InTree(picture)).isNull()) << picture.toStdString();
    }
    EXPECT_EQ(QImage(InTree(QString::fromLatin1(SitePages::WelcomePicture))).size(), ResourceArt::WelcomeSize / 2);
}

TEST_F(GeneratedLibraryTest, SecondGenerationGivesIdenticalBytes)
{
    QTemporaryDir again;
    ASSERT_TRUE(Generate(again.filePath(QStringLiteral("tree")), again.filePath(QStringLiteral("program")),
                         QString::fromLatin1(AppPaths::DefaultServerUrl)));
    const std::map<QString, QByteArray> first = Files(Tree()), second = Files(again.filePath(QStringLiteral("tree")));
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [path, bytes] : first) {
        const auto it = second.find(path);
        ASSERT_NE(it, second.end()) << path.toStdString();
        EXPECT_TRUE(it->second == bytes) << path.toStdString() << " differs";
    }
    EXPECT_TRUE(Files(Program()) == Files(again.filePath(QStringLiteral("program"))));
}

TEST_F(GeneratedLibraryTest, OtherBaseAddressChangesOnlyTheSceneIndex)
{
    QTemporaryDir other;
    const QString tree = other.filePath(QStringLiteral("tree"));
    ASSERT_TRUE(Generate(tree, other.filePath(QStringLiteral("program")), QStringLiteral("http://127.0.0.1:9000/lib")));
    const std::unique_ptr<Catalog> index = Index(tree, QStringLiteral("EncList"));
    ASSERT_FALSE(index->items.empty());
    EXPECT_EQ(index->items[0].name, QStringLiteral("http://127.0.0.1:9000/lib/Scenes/%1.jpg").arg(index->items[0].first));
    const std::map<QString, QByteArray> ours = Files(Tree()), theirs = Files(tree);
    for (const auto& [path, bytes] : ours) {
        if (path != QLatin1String("EncList.txt")) {
            EXPECT_TRUE(theirs.at(path) == bytes) << path.toStdString();
        }
    }
}

TEST_F(GeneratedLibraryTest, ServerPublishesEveryFileByteForByte)
{
    ContentServer::Options options;
    options.root = Tree();
    options.port = 0;
    ContentServer server(options);
    ASSERT_GT(server.Start(), 0);
    httplib::Client client("127.0.0.1", server.Port());
    const std::map<QString, QByteArray> files = Files(Tree());
    ASSERT_EQ(static_cast<int>(files.size()), s_summary.files - 3);
    for (const auto& [path, bytes] : files) {
        const auto response = client.Get(("/" + path).toStdString());
        ASSERT_TRUE(response) << path.toStdString();
        EXPECT_EQ(response->status, 200) << path.toStdString();
        EXPECT_TRUE(QByteArray::fromStdString(response->body) == bytes) << path.toStdString();
    }
    const auto missing = client.Get("/Scenes/999.jpg");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    const auto outside = client.Get("/../program/welcome.bki");
    ASSERT_TRUE(outside);
    EXPECT_NE(outside->status, 200);
    server.Stop();
}

TEST(ContentGeneratorTest, MissingInputStopsWithTheFileNamed)
{
    QTemporaryDir empty;
    ContentGenerator generator({empty.path(), empty.filePath(QStringLiteral("tree")),
                                empty.filePath(QStringLiteral("program")), QString::fromLatin1(AppPaths::DefaultServerUrl)});
    EXPECT_FALSE(generator.Run());
    EXPECT_TRUE(generator.ErrorText().contains(QStringLiteral("astronaut.png"))) << generator.ErrorText().toStdString();
    EXPECT_FALSE(QFile::exists(empty.filePath(QStringLiteral("tree/EncList.txt"))));
}

// A picture of the tree as the program loads it: decoded, and enlarged by a whole factor when small.
QImage Loaded(const QString& path)
{
    ImageReference image;
    EXPECT_TRUE(image.Load(path, true)) << path.toStdString();
    return image.Picture() ? image.Picture()->convertToFormat(QImage::Format_RGB32) : QImage();
}

QString BackgroundOf(int32_t number)
{
    return QStringLiteral("BGs/%1.bki").arg(number, 4, 10, QLatin1Char('0'));
}

// The face items of the scene browser had no background: chosen as the scene, the enlarged photo lay on
// a failed placeholder, and the saved picture showed its top-left corner on black.
TEST_F(GeneratedLibraryTest, RegressionFaceItemsChosenAsSceneShowAZoomedCornerOnBlack)
{
    ASSERT_FALSE(Scenes().items.empty());
    for (const FileItem& item : Scenes().items) {
        SCOPED_TRACE(item.first);
        ScopedAppPaths paths;
        paths.Get().cacheFolder = Tree() + QLatin1Char('/');
        Document document;
        document.NewScene(item.first, QString(), true);
        const QString saved = s_folder->filePath(QStringLiteral("scene-%1.png").arg(item.first));
        ASSERT_TRUE(document.SavePicture(saved));
        const QImage picture = QImage(saved).convertToFormat(QImage::Format_RGB32);

        // The photo covers the whole picture, which is its background's size: every pixel is the photo's.
        const QImage photo = Loaded(InTree(QStringLiteral("Scenes/%1.jpg").arg(item.first)));
        ASSERT_EQ(Loaded(InTree(BackgroundOf(item.first))).size(), photo.size());
        ASSERT_EQ(picture.size(), photo.size());
        EXPECT_LE(Compare(picture, photo).maximum, 2);
    }
}

// The scenes' people had no head, so behind the face lay sky or wall and Auto Adjust turned a face
// grey-blue. Every scene's person now has a head of a skin of its own, missing from the background.
TEST_F(GeneratedLibraryTest, RegressionAutoAdjustMatchesTheFaceToTheSkinOfTheHeadBehindIt)
{
    const std::vector<FileItem> scenes = ItemsOf(Scenes(), 2);
    ASSERT_EQ(scenes.size(), 5u);
    const FacePhoto faces[] = {WalkFace(), PortraitFace(QStringLiteral(SMG_CONTENTGEN_INPUT))};
    std::vector<QRgb> skins;
    for (const FileItem& scene : scenes) {
        SCOPED_TRACE(scene.first);
        const QImage photo = Loaded(InTree(QStringLiteral("Scenes/%1.jpg").arg(scene.first)));
        const QImage background = Loaded(InTree(BackgroundOf(scene.first)));
        // The photo's head is not in the background, where the face goes.
        const QRectF skin = SceneArt::FaceBox(photo.size());
        const QPoint forehead = (skin.center() - QPointF(0, skin.height() * 0.3)).toPoint();
        EXPECT_GT(ColourDistance(photo.pixel(forehead), background.pixel(forehead)), 40);

        for (const FacePhoto& face : faces) {
            SCOPED_TRACE(face.path.toStdString());
            QString error;
            const std::optional<SkinMatch> match = MatchFaceOnScene(Tree(), scene.first, face, error);
            ASSERT_TRUE(match) << error.toStdString();
            EXPECT_LT(ColourDistance(match->skinBehind.rgb(), photo.pixel(forehead)), 24);
            EXPECT_LT(match->distanceAfter, match->distanceBefore * 0.8);
        }
        skins.push_back(photo.pixel(forehead));
    }
    // A tone of its own in every scene.
    for (size_t i = 0; i < skins.size(); ++i) {
        for (size_t j = i + 1; j < skins.size(); ++j)
            EXPECT_GT(ColourDistance(skins[i], skins[j]), 12) << i << " " << j;
    }
}

} // namespace
