#include "library/download/RequestManager.h"
#include "tests/download/DownloadTestSupport.h"
#include "tests/download/LoopbackServer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <system_error>

using namespace downloadtest;

namespace {

// A worker whose thread cannot be started.
class UnstartableThread : public DownloadThread {
public:
    using DownloadThread::DownloadThread;

protected:
    void LaunchThread() override { throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again)); }
};

// A worker whose thread has not run yet: it stays new.
class UnstartedThread : public DownloadThread {
public:
    using DownloadThread::DownloadThread;

protected:
    void LaunchThread() override {}
};

class RequestIdTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    RequestManager m_manager;

    QString Path(int i) const { return m_dir.filePath(QString::number(i)); }
    QString Url(int i) const { return QStringLiteral("http://127.0.0.1:9/%1").arg(i); }
};

TEST_F(RequestIdTest, IdsStartAtOneWrapAfter4095AndSkipListedOnes)
{
    EXPECT_EQ(m_manager.AddRequest(Url(1), Path(1), RequestPriorityContent, false, false), 1);
    for (int i = 2; i <= 4095; ++i)
        ASSERT_EQ(m_manager.AddRequest(Url(i), Path(i), RequestPriorityContent, false, false), i);
    EXPECT_EQ(m_manager.AddRequest(Url(4096), Path(4096), RequestPriorityContent, false, false), 0);
    EXPECT_EQ(m_manager.status.size(), 4096u);
    // Every id is taken by a listed request.
    EXPECT_EQ(m_manager.AddRequest(Url(4097), Path(4097), RequestPriorityContent, false, false), RequestQueueFull);
    EXPECT_EQ(m_manager.Status(RequestQueueFull), RequestFailed);

    ASSERT_NE(m_manager.FindRequest(7), nullptr);
    m_manager.RemoveCurrent();
    ASSERT_NE(m_manager.FindRequest(5), nullptr);
    m_manager.RemoveCurrent();
    EXPECT_EQ(m_manager.FindRequest(5), nullptr);
    // After 0 the ids run on from 1, passing over those still listed.
    EXPECT_EQ(m_manager.AddRequest(Url(5000), Path(5000), RequestPriorityContent, false, false), 5);
    EXPECT_EQ(m_manager.AddRequest(Url(5001), Path(5001), RequestPriorityContent, false, false), 7);
    EXPECT_EQ(m_manager.AddRequest(Url(5002), Path(5002), RequestPriorityContent, false, false), RequestQueueFull);
}

TEST_F(RequestIdTest, AnswersOfAddRequest)
{
    WriteFile(Path(1), "cached");
    // Cached and not listed: read as done, nothing queued.
    EXPECT_EQ(m_manager.AddRequest(Url(1), Path(1), RequestPriorityContent, false, false), RequestAlreadyCached);
    EXPECT_EQ(m_manager.Status(RequestAlreadyCached), RequestDone);
    EXPECT_TRUE(m_manager.requests.empty());
    // Forced: queued; then the same address and path answer with its id, cached or not, forced or not.
    const int32_t id = m_manager.AddRequest(Url(1), Path(1), RequestPriorityContent, true, true);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(m_manager.AddRequest(Url(1), Path(1), RequestPriorityCatalog, false, false), id);
    EXPECT_EQ(m_manager.AddRequest(Url(1), Path(1), RequestPriorityCatalog, false, true), id);
    const Request* request = m_manager.FindRequest(id);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->priority, RequestPriorityContent);  // unchanged by the later calls
    EXPECT_TRUE(request->tempName);
    EXPECT_EQ(request->progress, 0);
    // Letter case makes a different request.
    EXPECT_EQ(m_manager.AddRequest(Url(1).toUpper(), Path(1), RequestPriorityContent, false, true), 2);
    EXPECT_EQ(m_manager.AddRequest(Url(1), Path(1) + QStringLiteral("X"), RequestPriorityContent, false, false), 3);
    // The existence test looks at the path only, never at path + "_".
    WriteFile(Path(9) + QStringLiteral("_"), "partial");
    EXPECT_EQ(m_manager.AddRequest(Url(9), Path(9), RequestPriorityContent, false, false), 4);
    EXPECT_EQ(m_manager.requests.size(), 4u);
    EXPECT_EQ(m_manager.Status(4), RequestQueued);
    EXPECT_EQ(m_manager.Status(4000), RequestFailed);  // never issued
}

TEST_F(RequestIdTest, NextPendingTakesTheLowestPriorityEarliestFirst)
{
    EXPECT_EQ(m_manager.NextPending(), nullptr);
    m_manager.AddRequest(Url(1), Path(1), RequestPriorityContent, false, false);
    m_manager.AddRequest(Url(2), Path(2), RequestPriorityOpenCategory, false, false);
    m_manager.AddRequest(Url(3), Path(3), RequestPriorityOpenCategory, false, false);
    m_manager.AddRequest(Url(4), Path(4), RequestPriorityContent, false, false);
    EXPECT_EQ(m_manager.NextPending()->id, 2);
    m_manager.FindRequest(4)->priority = RequestPriorityOpenSubcategory;
    EXPECT_EQ(m_manager.NextPending()->id, 4);
    m_manager.status[4] = RequestRunning;
    EXPECT_EQ(m_manager.NextPending()->id, 2);
    // The cursor stays on the request returned.
    m_manager.RemoveCurrent();
    EXPECT_EQ(m_manager.FindRequest(2), nullptr);
    EXPECT_EQ(m_manager.NextPending()->id, 3);
}

TEST_F(RequestIdTest, IdleTickDoesNothing)
{
    EXPECT_TRUE(m_manager.Process());
    EXPECT_TRUE(m_manager.requests.empty());
    EXPECT_TRUE(m_manager.status.empty());
    for (int i = 0; i < RequestManager::WorkerCount; ++i)
        EXPECT_EQ(m_manager.Worker(i).State() == DownloadStateIdle || m_manager.Worker(i).State() == DownloadStateNew, true);
}

// Records every request that leaves the list.
class RecordingListener : public RequestListener {
public:
    void OnRequestUnlisted(int32_t id, int status) override { heard.emplace_back(id, status); }
    std::vector<std::pair<int32_t, int>> heard;
};

TEST_F(RequestIdTest, ListenersHearEachRequestLeaveWithItsFinalStatus)
{
    RecordingListener listener;
    m_manager.AddListener(&listener);
    m_manager.AddListener(&listener);  // once only
    for (int i = 1; i <= 3; ++i)
        m_manager.AddRequest(Url(i), Path(i), RequestPriorityContent, false, false);
    m_manager.status[2] = RequestDone;
    ASSERT_NE(m_manager.FindRequest(2), nullptr);
    m_manager.RemoveCurrent();
    // The same address and path may be asked again once the request has gone.
    EXPECT_EQ(m_manager.AddRequest(Url(2), Path(2), RequestPriorityContent, false, false), 4);
    m_manager.Shutdown();
    using Heard = std::vector<std::pair<int32_t, int>>;
    EXPECT_EQ(listener.heard, Heard({{2, RequestDone}, {1, RequestFailed}, {3, RequestFailed}, {4, RequestFailed}}));
    m_manager.RemoveListener(&listener);
}

TEST(ProgressPercentTest, RegressionPercentIn64BitsClamped)
{
    EXPECT_EQ(ProgressPercent(50, 200), 25);
    EXPECT_EQ(ProgressPercent(199, 200), 99);
    EXPECT_EQ(ProgressPercent(30000000, 40000000), 75);  // progress x 100 is past 32 bits
    EXPECT_EQ(ProgressPercent(INT32_MAX, INT32_MAX), 100);
    EXPECT_EQ(ProgressPercent(300, 200), 100);  // a decoded body can pass the announced size
    EXPECT_EQ(ProgressPercent(-5, 200), 0);
    EXPECT_EQ(ProgressPercent(5, 0), 0);
    EXPECT_EQ(ProgressPercent(5, -1), 0);
}

class RequestManagerTest : public ::testing::Test {
protected:
    RequestManagerTest() : m_server(m_dir.filePath(QStringLiteral("tree")))
    {
        for (int i = 0; i < 8; ++i)
            WriteFile(m_dir.filePath(QStringLiteral("tree/Thumbs/%1.jpg").arg(i)), QByteArray("thumb ") + QByteArray::number(i));
        m_cache = m_dir.filePath(QStringLiteral("cache/"));
        QDir().mkpath(m_cache);
        EXPECT_TRUE(WaitForIdleWorkers(*m_manager));
    }

    QString Cached(const QString& name) const { return m_cache + name; }

    int32_t Add(const std::string& relative, const QString& name, int32_t priority = RequestPriorityContent,
                bool tempName = false, bool force = false)
    {
        return m_manager->AddRequest(m_server.Address(relative), Cached(name), priority, tempName, force);
    }

    bool TickUntilFinished(int32_t id)
    {
        return TickUntil(*m_manager, [&] { return m_manager->Status(id) >= RequestDone; });
    }

    QTemporaryDir m_dir;
    LoopbackServer m_server;
    QString m_cache;
    std::unique_ptr<RequestManager> m_manager = std::make_unique<RequestManager>();
};

TEST_F(RequestManagerTest, DownloadArrivesWholeUnderItsPath)
{
    for (bool tempName : {false, true}) {
        const QString name = tempName ? QStringLiteral("a.jpg") : QStringLiteral("b.jpg");
        const int32_t id = Add("gate/1", name, RequestPriorityContent, tempName);
        // Every download is written beside its path and moved there only when complete.
        ASSERT_TRUE(TickUntil(*m_manager, [&] { return Exists(Cached(name) + QStringLiteral("_")); }));
        EXPECT_EQ(m_manager->Status(id), RequestRunning);
        EXPECT_FALSE(Exists(Cached(name)));
        m_server.OpenGate(1);
        ASSERT_TRUE(TickUntilFinished(id));
        EXPECT_EQ(m_manager->Status(id), RequestDone);
        EXPECT_EQ(ReadFile(Cached(name)), QByteArray("gate 1"));
        EXPECT_FALSE(Exists(Cached(name) + QStringLiteral("_")));
        EXPECT_EQ(m_manager->FindRequest(id), nullptr);
        // Now cached.
        EXPECT_EQ(Add("gate/1", name), RequestAlreadyCached);
    }
}

TEST_F(RequestManagerTest, ServerErrorsLeaveNeitherThePathNorThePartialFile)
{
    for (const char* route : {"fault/404", "fault/500"}) {
        const int32_t id = Add(route, QStringLiteral("error.bin"));
        ASSERT_TRUE(TickUntilFinished(id));
        EXPECT_EQ(m_manager->Status(id), RequestFailed) << route;
        EXPECT_FALSE(Exists(Cached(QStringLiteral("error.bin"))));
        EXPECT_FALSE(Exists(Cached(QStringLiteral("error.bin_"))));
        EXPECT_EQ(m_manager->FindRequest(id), nullptr);
    }
}

TEST_F(RequestManagerTest, FailedRefreshKeepsThePreviousFile)
{
    WriteFile(Cached(QStringLiteral("index.txt")), "old index");
    const int32_t id = Add("fault/short", QStringLiteral("index.txt"), RequestPriorityCatalog, true, true);
    ASSERT_TRUE(TickUntilFinished(id));
    EXPECT_EQ(m_manager->Status(id), RequestFailed);
    EXPECT_EQ(ReadFile(Cached(QStringLiteral("index.txt"))), QByteArray("old index"));
    EXPECT_FALSE(Exists(Cached(QStringLiteral("index.txt_"))));

    const int32_t refresh = Add("Thumbs/3.jpg", QStringLiteral("index.txt"), RequestPriorityCatalog, true, true);
    ASSERT_TRUE(TickUntilFinished(refresh));
    EXPECT_EQ(m_manager->Status(refresh), RequestDone);
    EXPECT_EQ(ReadFile(Cached(QStringLiteral("index.txt"))), QByteArray("thumb 3"));
}

TEST_F(RequestManagerTest, RegressionFailedRenameFailsTheRequestAndKeepsTheOldFile)
{
    // A folder stands where the file should go: the rename cannot replace it.
    WriteFile(Cached(QStringLiteral("busy/inside.txt")), "kept");
    const int32_t id = Add("Thumbs/1.jpg", QStringLiteral("busy"), RequestPriorityContent, false, true);
    ASSERT_TRUE(TickUntilFinished(id));
    EXPECT_EQ(m_manager->Status(id), RequestFailed);
    EXPECT_EQ(ReadFile(Cached(QStringLiteral("busy/inside.txt"))), QByteArray("kept"));
    EXPECT_FALSE(Exists(Cached(QStringLiteral("busy_"))));
    EXPECT_EQ(m_manager->FindRequest(id), nullptr);
}

TEST_F(RequestManagerTest, RegressionUnopenableTargetFailsTheRequest)
{
    const int32_t missingFolder = m_manager->AddRequest(m_server.Address("Thumbs/1.jpg"),
                                                        m_cache + QStringLiteral("none/1.jpg"), 4, false, false);
    const int32_t emptyPath = m_manager->AddRequest(m_server.Address("Thumbs/2.jpg"), QString(), 4, false, false);
    const int32_t folderPath = m_manager->AddRequest(m_server.Address("Thumbs/3.jpg"), m_cache + QStringLiteral("sub/"),
                                                     4, false, true);
    ASSERT_TRUE(TickUntil(*m_manager, [&] {
        return m_manager->Status(missingFolder) >= RequestDone && m_manager->Status(emptyPath) >= RequestDone &&
               m_manager->Status(folderPath) >= RequestDone;
    }));
    EXPECT_EQ(m_manager->Status(missingFolder), RequestFailed);
    EXPECT_EQ(m_manager->Status(emptyPath), RequestFailed);
    EXPECT_EQ(m_manager->Status(folderPath), RequestFailed);
    EXPECT_FALSE(Exists(QStringLiteral("_")));
    EXPECT_TRUE(m_manager->requests.empty());
}

TEST_F(RequestManagerTest, SixRequestsOnFiveWorkersWithAPriorityOvertaking)
{
    std::vector<int32_t> gated;
    for (int gate = 1; gate <= 5; ++gate)
        gated.push_back(Add("gate/" + std::to_string(gate), QStringLiteral("g%1").arg(gate)));
    const int32_t early = Add("Thumbs/1.jpg", QStringLiteral("early.jpg"));
    const int32_t urgent = Add("Thumbs/2.jpg", QStringLiteral("urgent.jpg"));

    // The first tick starts the five earliest, in creation order on workers 0..4.
    m_manager->Process();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(m_manager->Status(gated[static_cast<size_t>(i)]), RequestRunning);
        EXPECT_EQ(m_manager->Worker(i).requestId, gated[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(m_manager->Status(early), RequestQueued);
    EXPECT_EQ(m_manager->Status(urgent), RequestQueued);
    ASSERT_TRUE(m_server.WaitForWaiting(5));
    for (int i = 0; i < 10; ++i)
        m_manager->Process();
    EXPECT_EQ(m_manager->Status(early), RequestQueued);
    // The later request is moved up, as opening its subcategory does.
    m_manager->FindRequest(urgent)->priority = RequestPriorityOpenSubcategory;

    // The tick that harvests the freed worker hands it the urgent request, not the earlier one.
    m_server.OpenGate(3);
    ASSERT_TRUE(TickUntilFinished(gated[2]));
    EXPECT_EQ(m_manager->Status(urgent), RequestRunning);
    EXPECT_EQ(m_manager->Status(early), RequestQueued);
    EXPECT_EQ(m_manager->Worker(2).requestId, urgent);
    ASSERT_TRUE(TickUntilFinished(early));
    EXPECT_EQ(m_manager->Status(urgent), RequestDone);
    EXPECT_EQ(ReadFile(Cached(QStringLiteral("urgent.jpg"))), QByteArray("thumb 2"));
    EXPECT_EQ(ReadFile(Cached(QStringLiteral("early.jpg"))), QByteArray("thumb 1"));
}

TEST_F(RequestManagerTest, ProgressIsAPercentOfAKnownTotal)
{
    const int32_t known = Add("fault/stall", QStringLiteral("known.bin"));
    const int32_t unknown = Add("fault/stall-chunked", QStringLiteral("unknown.bin"));
    DownloadThread& chunkedWorker = m_manager->Worker(1);
    ASSERT_TRUE(TickUntil(*m_manager, [&] {
        const Request* request = m_manager->FindRequest(known);
        return request && request->progress == 10 && chunkedWorker.Progress() > 0;
    }));
    m_manager->Process();
    const Request* request = m_manager->FindRequest(unknown);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->progress, 0);  // no total: 0 percent
    EXPECT_EQ(chunkedWorker.ProgressMax(), 0);
}

TEST_F(RequestManagerTest, ShutdownInTheMiddleOfDownloadsLeavesNoPartialFile)
{
    std::vector<int32_t> ids;
    for (int i = 0; i < 5; ++i)
        ids.push_back(Add("fault/stall", QStringLiteral("part%1.bin").arg(i)));
    const int32_t queued = Add("Thumbs/1.jpg", QStringLiteral("queued.jpg"));
    ASSERT_TRUE(TickUntil(*m_manager, [&] {
        for (int i = 0; i < 5; ++i) {
            if (m_manager->Worker(i).Progress() != static_cast<int32_t>(LoopbackServer::StallSent))
                return false;
        }
        return true;
    }));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Exists(Cached(QStringLiteral("part%1.bin_").arg(i))));
    m_manager->Shutdown();
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(Exists(Cached(QStringLiteral("part%1.bin_").arg(i))));
        EXPECT_FALSE(Exists(Cached(QStringLiteral("part%1.bin").arg(i))));
        EXPECT_EQ(m_manager->Status(ids[static_cast<size_t>(i)]), RequestFailed);
    }
    EXPECT_EQ(m_manager->Status(queued), RequestFailed);
    EXPECT_EQ(QDir(m_cache).entryList(QDir::Files).size(), 0);
    // Ticks after the shut-down do nothing.
    EXPECT_TRUE(m_manager->Process());
}

TEST_F(RequestManagerTest, ShutdownRemovesACompleteDownloadThatWasNeverHarvested)
{
    Add("Thumbs/4.jpg", QStringLiteral("four.jpg"));
    m_manager->Process();
    ASSERT_TRUE(WaitUntil([&] { return m_manager->Worker(0).State() == DownloadStateDone; }));
    EXPECT_TRUE(Exists(Cached(QStringLiteral("four.jpg_"))));
    m_manager.reset();
    EXPECT_FALSE(Exists(Cached(QStringLiteral("four.jpg_"))));
    EXPECT_FALSE(Exists(Cached(QStringLiteral("four.jpg"))));
}

TEST_F(RequestManagerTest, TimeoutFailsTheRequest)
{
    m_manager = std::make_unique<RequestManager>(TimeoutTimings());
    ASSERT_TRUE(WaitForIdleWorkers(*m_manager));
    const int32_t id = Add("fault/stall-headers", QStringLiteral("late.bin"));
    ASSERT_TRUE(TickUntilFinished(id));
    EXPECT_EQ(m_manager->Status(id), RequestFailed);
    EXPECT_EQ(m_manager->Worker(0).ErrorText(), "Timeout in trying to load (" + m_server.Url("fault/stall-headers") + ")");
    EXPECT_FALSE(Exists(Cached(QStringLiteral("late.bin_"))));
}

TEST_F(RequestManagerTest, RegressionWorkersThatNeverRanAreLeftAlone)
{
    m_manager.reset();
    int made = 0;
    m_manager = std::make_unique<RequestManager>(DownloadTimings(), [&](const DownloadTimings& timings) {
        std::unique_ptr<DownloadThread> worker;
        if (made == 0)
            worker = std::make_unique<UnstartableThread>(timings);
        else if (made == 1)
            worker = std::make_unique<UnstartedThread>(timings);
        else
            worker = std::make_unique<DownloadThread>(timings);
        ++made;
        return worker;
    });
    EXPECT_TRUE(m_manager->Worker(0).Retired());
    EXPECT_EQ(m_manager->Worker(0).State(), DownloadStateFailed);
    EXPECT_EQ(m_manager->Worker(1).State(), DownloadStateNew);

    // Handed a download, a worker without a running thread would keep its request running for ever.
    std::vector<int32_t> ids;
    for (int i = 0; i < 6; ++i)
        ids.push_back(Add("Thumbs/" + std::to_string(i) + ".jpg", QStringLiteral("t%1.jpg").arg(i)));
    ASSERT_TRUE(TickUntil(*m_manager, [&] {
        for (int32_t id : ids) {
            if (m_manager->Status(id) != RequestDone)
                return false;
        }
        return true;
    }));
    EXPECT_EQ(m_manager->Worker(0).State(), DownloadStateFailed);
    EXPECT_EQ(m_manager->Worker(1).State(), DownloadStateNew);
    EXPECT_EQ(m_manager->Worker(0).requestId, 0);
    EXPECT_EQ(m_manager->Worker(1).requestId, 0);
    EXPECT_EQ(ReadFile(Cached(QStringLiteral("t5.jpg"))), QByteArray("thumb 5"));
}

} // namespace
