// Thumbnails through the real request queue from the loopback content server into a temporary cache.
#include "library/download/RequestManager.h"
#include "support/CatalogText.h"
#include "support/ScopedAppPaths.h"
#include "tests/download/DownloadTestSupport.h"
#include "tests/download/LoopbackServer.h"

#include "engine/layers/ImageReference.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

using namespace downloadtest;

namespace {

QByteArray JpegBytes(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(qRgb(20, 120, 220));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(picture.save(&buffer, "JPEG"));
    return buffer.data();
}

// Category 0 "A": subcategory S with items 1, 2 and 1 again, subcategory T with 3 (not on the server);
// category 1 "B": subcategory U with 4, which is in the cache already.
constexpr const char* TwoCategories = "<CAT A><SUB S><1 \"one\" 0 0 1 1><2 \"two\" 0 0 1 1><1 \"again\" 0 0 1 1>"
                                      "<SUB T><3 \"three\" 0 0 1 1><CAT B><SUB U><4 \"four\" 0 0 1 1>";

class CatalogThumbnailTest : public ::testing::Test {
protected:
    CatalogThumbnailTest() : m_server(m_tree.path()), m_savedQueue(g_requestManager)
    {
        m_paths.Get().serverUrl = QString::fromStdString(m_server.Url(""));
        for (int number : {1, 2, 4})
            WriteFile(m_tree.filePath(QStringLiteral("Thumbs/%1.jpg").arg(number)), JpegBytes(40 + number, 30));
        WriteFile(m_paths.Get().cacheFolder + QStringLiteral("Thumbs/4.jpg"), JpegBytes(44, 30));
        g_requestManager = m_queue.get();
    }
    ~CatalogThumbnailTest() override
    {
        m_catalog.reset();
        g_requestManager = m_savedQueue;
    }

    void Parse(const QByteArray& text) { ASSERT_TRUE(ParseText(*m_catalog, text)); }
    int32_t Id(size_t item) const { return m_catalog->items[item].second; }
    int32_t Priority(size_t item) const
    {
        const Request* request = m_queue->FindRequest(Id(item));
        return request ? request->priority : -1;
    }
    std::vector<int32_t> Priorities() const
    {
        std::vector<int32_t> priorities;
        for (size_t i = 0; i < m_catalog->items.size(); ++i)
            priorities.push_back(Priority(i));
        return priorities;
    }
    bool TickUntilNoneQueued()
    {
        return TickUntil(*m_queue, [&] { return m_queue->requests.empty(); });
    }

    QTemporaryDir m_tree;
    LoopbackServer m_server;
    ScopedAppPaths m_paths;
    RequestManager* m_savedQueue;
    std::unique_ptr<RequestManager> m_queue = std::make_unique<RequestManager>();
    std::unique_ptr<Catalog> m_catalog = std::make_unique<Catalog>(QStringLiteral("EncList"), QStringLiteral("Thumbs"));
};

TEST_F(CatalogThumbnailTest, ParseQueuesEachThumbnailOnceWithATemporaryName)
{
    Parse(TwoCategories);
    ASSERT_EQ(m_catalog->items.size(), 5u);
    EXPECT_EQ(Id(2), Id(0));  // "again" shares the request of the first item numbered 1
    EXPECT_EQ(Id(4), RequestAlreadyCached);
    ASSERT_EQ(m_queue->requests.size(), 3u);
    for (const size_t i : {0u, 1u, 3u}) {
        const Request* request = m_queue->FindRequest(Id(i));
        ASSERT_NE(request, nullptr) << i;
        const int32_t number = m_catalog->items[i].first;
        EXPECT_EQ(request->url, QString::fromStdString(m_server.Url("Thumbs/" + std::to_string(number) + ".jpg")));
        EXPECT_EQ(request->path, m_paths.Get().cacheFolder + QStringLiteral("Thumbs/%1.jpg").arg(number));
        EXPECT_EQ(request->path, m_catalog->ThumbnailPath(static_cast<int32_t>(i)));
        EXPECT_EQ(request->priority, RequestPriorityContent);
        EXPECT_TRUE(request->tempName);
        EXPECT_EQ(m_catalog->ThumbnailStatus(static_cast<int32_t>(i)), RequestQueued);
    }
    EXPECT_EQ(m_catalog->ThumbnailStatus(4), RequestDone);
}

TEST_F(CatalogThumbnailTest, PrioritizeCategoryMovesOnlyQueuedRequests)
{
    Parse(TwoCategories);
    m_queue->status[static_cast<size_t>(Id(1))] = RequestRunning;  // item 2 is being fetched
    m_catalog->PrioritizeCategory(0, 1);
    EXPECT_EQ(Priorities(), std::vector<int32_t>({3, 4, 3, 2, -1}));
    m_catalog->PrioritizeCategory(1, 0);  // only a cached item there: nothing moves
    EXPECT_EQ(Priorities(), std::vector<int32_t>({3, 4, 3, 2, -1}));
    m_catalog->PrioritizeCategory(0, 0);
    EXPECT_EQ(Priorities(), std::vector<int32_t>({2, 4, 2, 3, -1}));
}

TEST_F(CatalogThumbnailTest, DefaultSceneRaisesItsCategory)
{
    Parse(QByteArray("<DEFSCENE 99>") + TwoCategories);  // no such item: nothing moves
    EXPECT_EQ(Priorities(), std::vector<int32_t>({4, 4, 4, 4, -1}));
    Parse(QByteArray("<DEFSCENE 3>") + TwoCategories);
    EXPECT_EQ(Priorities(), std::vector<int32_t>({3, 3, 3, 2, -1}));
}

TEST_F(CatalogThumbnailTest, ThumbnailsArriveAndKeepTheirFinalStatus)
{
    Parse(TwoCategories);
    ImageReference picture;
    EXPECT_FALSE(m_catalog->LoadThumbnail(0, picture));  // still queued
    ASSERT_TRUE(TickUntilNoneQueued());
    const int expected[] = {RequestDone, RequestDone, RequestDone, RequestFailed, RequestDone};
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(m_catalog->ThumbnailStatus(i), expected[i]) << i;
        // The queue has let the ids go: the items hold the statuses themselves.
        EXPECT_EQ(m_catalog->items[static_cast<size_t>(i)].second, -expected[i]) << i;
        ASSERT_EQ(m_catalog->LoadThumbnail(i, picture), expected[i] == RequestDone) << i;
        if (expected[i] == RequestDone) {
            EXPECT_EQ(picture.width, 40 + m_catalog->items[static_cast<size_t>(i)].first) << i;
        }
    }
    EXPECT_FALSE(Exists(m_catalog->ThumbnailPath(3)));
    EXPECT_FALSE(Exists(m_catalog->ThumbnailPath(0) + QStringLiteral("_")));
    // A parse again keeps the failed thumbnail failed instead of asking again.
    Parse(TwoCategories);
    EXPECT_EQ(m_catalog->ThumbnailStatus(3), RequestFailed);
    EXPECT_TRUE(m_queue->requests.empty());
}

TEST_F(CatalogThumbnailTest, RegressionMoreItemsThanRequestIdsGetFailedThumbnailsNotOthersStatuses)
{
    constexpr int ItemCount = RequestIdCount + 4;
    QByteArray text = "<CAT Many><SUB All>";
    for (int n = 1; n <= ItemCount; ++n)
        text += "<" + QByteArray::number(n + 10) + " \"x\" 0 0 1 1>";
    Parse(text);
    std::set<int32_t> ids;
    for (size_t i = 0; i < RequestIdCount; ++i)
        ids.insert(Id(i));
    EXPECT_EQ(ids.size(), static_cast<size_t>(RequestIdCount));  // never one id for two items
    for (size_t i = RequestIdCount; i < static_cast<size_t>(ItemCount); ++i)
        EXPECT_EQ(m_catalog->ThumbnailStatus(static_cast<int32_t>(i)), RequestFailed) << i;

    // The first item's request ends (not on the server) and its id goes to the next request.
    const int32_t firstId = Id(0);
    ASSERT_TRUE(TickUntil(*m_queue, [&] { return m_queue->FindRequest(firstId) == nullptr; }));
    const int32_t other = m_queue->AddRequest(QStringLiteral("http://127.0.0.1:9/other"),
                                              m_paths.Get().cacheFolder + QStringLiteral("other"), 4, false, false);
    ASSERT_EQ(other, firstId);
    EXPECT_EQ(m_catalog->ThumbnailStatus(0), RequestFailed);  // not the other request's "queued"
    m_catalog->PrioritizeCategory(0, 0);
    EXPECT_EQ(m_queue->FindRequest(other)->priority, 4);
}

} // namespace
