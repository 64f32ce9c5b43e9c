// Browsers over the generated sample library: thumbnails fetched by the real request queue from the
// loopback content server into a temporary cache, and drawn as they arrive.
#include "BrowserFixture.h"

#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "support/WaitUntil.h"
#include "tests/download/LoopbackServer.h"

#include "engine/base/AppPaths.h"
#include "library/browser/AccessoryTree.h"
#include "library/browser/BrowserLayout.h"
#include "library/browser/BubbleTree.h"
#include "library/browser/SceneTree.h"
#include "library/download/RequestManager.h"
#include "tools/contentgen/ContentGenerator.h"

#include <QCoreApplication>

using namespace browser_layout;

namespace {

class BrowserDownloadTest : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        s_library = std::make_unique<QTemporaryDir>();
        ContentGenerator generator({QStringLiteral(SMG_CONTENTGEN_INPUT), Tree(),
                                    s_library->filePath(QStringLiteral("program")),
                                    QString::fromLatin1(AppPaths::DefaultServerUrl)});
        ASSERT_TRUE(generator.Run()) << generator.ErrorText().toStdString();
    }
    static void TearDownTestSuite() { s_library.reset(); }
    static QString Tree() { return s_library->filePath(QStringLiteral("tree")); }

    BrowserDownloadTest() : m_server(Tree()), m_savedQueue(g_requestManager)
    {
        paths.Get().serverUrl = m_server.Address("");
        // Start-up leaves the index files in the cache; the browsers read them from there.
        for (const char* name : {"EncList", "ThumbsA", "ThumbsB"})
            WriteFile(paths.Get().cacheFolder + name + QStringLiteral(".txt"),
                      ReadFile(Tree() + QStringLiteral("/%1.txt").arg(name)));
        g_requestManager = m_queue.get();
        document.step = 15;  // every browser takes input
    }
    ~BrowserDownloadTest() override { g_requestManager = m_savedQueue; }

    // Ticks the queue and lets the browser's timer run until the browser stops polling.
    bool PollUntilLoaded(TreeView& view)
    {
        return WaitUntil([&] {
            m_queue->Process();
            QCoreApplication::processEvents();
            return !view.IsPolling();
        });
    }
    // The open subcategory's thumbnails are drawn exactly as the server's files decode.
    void ExpectThumbnailsDrawn(TreeView& view)
    {
        const QImage image = Grab(view);
        const TreeRows& rows = view.Rows();
        const Catalog& catalog = view.GetCatalog();
        const int32_t first = catalog.GetSubcategoryFirstItem(rows.OpenCategory(), rows.OpenSubcategory());
        ASSERT_GT(rows.Range().thumbnailCount, 0);
        for (int32_t j = 0; j < rows.Range().thumbnailCount; ++j) {
            const int32_t number = catalog.items[static_cast<size_t>(first + j)].first;
            const QString file = Tree() + QStringLiteral("/%1/%2.jpg").arg(catalog.GetFolder()).arg(number);
            const QImage expected = QImage(file).convertToFormat(QImage::Format_RGB32);
            ASSERT_FALSE(expected.isNull()) << number;
            const int y = BandOf(view) + rows.RowTop(rows.Range().firstThumbnailRow + j) - view.ScrollPosition();
            // The chosen item's frame lies over its picture's edges: compare inside it.
            const QRect inside(3, 3, expected.width() - 6, expected.height() - 6);
            EXPECT_EQ(image.copy(inside.translated(ThumbnailX, y)), expected.copy(inside)) << number;
        }
    }

    LoopbackServer m_server;
    RequestManager* m_savedQueue;
    std::unique_ptr<RequestManager> m_queue = std::make_unique<RequestManager>();

    static inline std::unique_ptr<QTemporaryDir> s_library;
};

TEST_F(BrowserDownloadTest, TheSceneBrowserFetchesTheOpenSubcategoryFirstAndDrawsItsThumbnails)
{
    auto view = Make<SceneTree>(520);
    const Catalog& catalog = view->GetCatalog();
    ASSERT_EQ(catalog.GetCategoryName(2), QStringLiteral("Scenes"));
    ASSERT_EQ(view->Rows().OpenSubcategory(), 0);
    // Close "Space", then open "Outdoors", whose two scenes move to the front of the queue.
    ClickRow(*view, view->Rows().Range().firstSubcategoryRow);
    int32_t outdoors = 0;
    while (catalog.GetSubcategoryName(2, outdoors) != QStringLiteral("Outdoors"))
        ASSERT_LT(++outdoors, catalog.GetSubcategoryCount(2));
    ClickRow(*view, view->Rows().Range().firstSubcategoryRow + outdoors);
    ASSERT_EQ(view->Rows().OpenSubcategory(), outdoors);
    ASSERT_EQ(view->Rows().Range().thumbnailCount, 2);
    const int32_t first = catalog.GetSubcategoryFirstItem(2, outdoors);
    auto priority = [&](int32_t i) {
        return m_queue->FindRequest(catalog.items[static_cast<size_t>(i)].second)->priority;
    };
    EXPECT_EQ(priority(first), RequestPriorityOpenSubcategory);
    EXPECT_EQ(priority(first + 1), RequestPriorityOpenSubcategory);
    EXPECT_EQ(priority(first - 1), RequestPriorityOpenCategory);  // the rest of "Scenes"
    EXPECT_EQ(priority(catalog.GetSubcategoryFirstItem(1, 0)), RequestPriorityContent);

    ASSERT_TRUE(PollUntilLoaded(*view));
    for (int32_t j = 0; j < 2; ++j)
        EXPECT_TRUE(QFile::exists(catalog.ThumbnailPath(first + j))) << j;
    ClickRow(*view, view->Rows().Range().firstThumbnailRow + 1);
    EXPECT_EQ(view->SelectedItem(), first + 1);
    ExpectThumbnailsDrawn(*view);
    SaveForALook(view->grab().toImage(), QStringLiteral("browser-scenes"));
}

TEST_F(BrowserDownloadTest, AccessoriesAndBubblesShowTheirFirstSubcategory)
{
    const std::unique_ptr<TreeView> views[] = {Make<AccessoryTree>(460), Make<BubbleTree>(460)};
    for (const std::unique_ptr<TreeView>& view : views) {
        ASSERT_TRUE(PollUntilLoaded(*view));
        ExpectThumbnailsDrawn(*view);
        SaveForALook(view->grab().toImage(), QStringLiteral("browser-") + view->GetCatalog().GetIndexName());
    }
}

} // namespace
