#include "library/download/DownloadError.h"
#include "library/download/DownloadThread.h"
#include "tests/download/DownloadTestSupport.h"
#include "tests/download/LoopbackServer.h"
#include "support/RecordingProxy.h"
#include "support/ScopedVariable.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace downloadtest;

namespace {

// A TCP socket bound to a free loopback port; the port is written to address.
int BoundLoopbackSocket(sockaddr_in& address)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return fd;
}

TEST(DownloadErrorTest, TextsNameTheAddress)
{
    const std::string url = "http://127.0.0.1:1/a b";
    EXPECT_EQ(DownloadErrorText(ResultAbort, DownloadErrorOpen, 0, url), "File open error (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAbort, DownloadErrorWrite, 0, url),
              "File write error, disk may be full (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAbort, DownloadErrorAbort, AbortTimeout, url),
              "Timeout in trying to load (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAbort, DownloadErrorAbort, AbortStopped, url),
              "File write stopped by user (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAbort, DownloadErrorAbort, AbortOverridden, url),
              "File overriden by program (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAbort, DownloadErrorAbort, AbortByUser, url),
              "File aborted by user (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAbort, DownloadErrorAbort, 7, url), "Internet system error 80004004 (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAbort, DownloadErrorServer, 0, url),
              "Web file not found, or other server error (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAbort, 55, 0, url), "");
    EXPECT_EQ(DownloadErrorText(ResultSyntax, 0, 0, url), "Internet file error 800401E4 (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultInvalidUrl, 0, 0, url), "Internet file error 800C0002 (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultUnknownProtocol, 0, 0, url), "Internet file error 800C000D (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAccessDenied, 0, 0, url),
              "User/Password Authorization failed 80070005 (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultAuthenticationRequired, 0, 0, url),
              "User/Password Authorization failed 800C0009 (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultCannotConnect, 0, 0, url), "Internet system error 800C0004 (" + url + ")");
    EXPECT_EQ(DownloadErrorText(ResultOk, DownloadErrorOpen, 0, url), "");
    // An address with a percent sign is printed as it is.
    EXPECT_EQ(DownloadErrorText(ResultAbort, DownloadErrorOpen, 0, "http://h/%s%d"), "File open error (http://h/%s%d)");
}

TEST(DownloadTimingsTest, ExactlyTheIdleLimitDoesNotAbort)
{
    using std::chrono::milliseconds;
    EXPECT_FALSE(IdleLimitExceeded(milliseconds(60000), DownloadIdleTimeout));
    EXPECT_TRUE(IdleLimitExceeded(milliseconds(60001), DownloadIdleTimeout));
    EXPECT_TRUE(IdleLimitExceeded(std::chrono::microseconds(60000001), DownloadIdleTimeout));
    EXPECT_EQ(DownloadWatchdogPeriod, milliseconds(3000));
}

class DownloadThreadTest : public ::testing::Test {
protected:
    DownloadThreadTest() : m_server(m_dir.filePath(QStringLiteral("tree")))
    {
        WriteFile(m_dir.filePath(QStringLiteral("tree/Scenes/7.jpg")), QByteArray("\xFF\xD8scene", 7));
        m_worker.Start();
        EXPECT_TRUE(WaitUntil([&] { return m_worker.State() == DownloadStateIdle; }));
    }

    QString Target(const QString& name = QStringLiteral("out.bin")) const { return m_dir.filePath(name); }

    // Runs one download to its end and returns the final state.
    int32_t Fetch(const std::string& relative, const QString& target) { return Fetch(m_worker, relative, target); }
    int32_t Fetch(DownloadThread& worker, const std::string& relative, const QString& target)
    {
        worker.Acknowledge();
        EXPECT_TRUE(WaitUntil([&] { return worker.State() == DownloadStateIdle; }));
        worker.StartDownload(m_server.Url(relative), Local(target));
        EXPECT_TRUE(WaitUntil([&] { return IsFinal(worker.State()); }));
        return worker.State();
    }

    QTemporaryDir m_dir;
    LoopbackServer m_server;
    DownloadThread m_worker;
};

TEST_F(DownloadThreadTest, FetchesAFileWithItsAddressAsReferrer)
{
    EXPECT_EQ(Fetch("Scenes/7.jpg", Target()), DownloadStateDone);
    EXPECT_EQ(ReadFile(Target()), QByteArray("\xFF\xD8scene", 7));
    EXPECT_EQ(m_worker.BytesWritten(), 7);
    EXPECT_EQ(m_worker.Progress(), 7);
    EXPECT_EQ(m_worker.ProgressMax(), 7);
    EXPECT_EQ(m_worker.ErrorText(), "");
    EXPECT_FALSE(m_worker.Encoded());

    EXPECT_EQ(Fetch("fault/record", Target()), DownloadStateDone);
    const auto recorded = m_server.Recorded();
    ASSERT_EQ(recorded.size(), 1u);
    const auto referer = recorded[0].find("Referer");
    ASSERT_NE(referer, recorded[0].end());
    EXPECT_EQ(referer->second, m_server.Url("fault/record"));
    EXPECT_EQ(ReadFile(Target()), QByteArray("recorded"));
}

// The workers turned the system's proxy off, so a content server behind it could not be reached.
TEST_F(DownloadThreadTest, RegressionDownloadsGoThroughTheSystemProxyExceptFromALoopbackHost)
{
    const RecordingProxy proxy;
    const ScopedVariable httpProxy("http_proxy", proxy.Address());
    const ScopedVariable noProxy("no_proxy", "");
    m_worker.Acknowledge();
    ASSERT_TRUE(WaitUntil([&] { return m_worker.State() == DownloadStateIdle; }));
    m_worker.StartDownload("http://content.invalid/Scenes/7.jpg", Local(Target()));
    ASSERT_TRUE(WaitUntil([&] { return IsFinal(m_worker.State()); }));
    EXPECT_EQ(m_worker.State(), DownloadStateDone);
    EXPECT_EQ(ReadFile(Target()), QByteArray("0"));  // the proxy's answer
    EXPECT_EQ(proxy.Requests(), std::vector<std::string>{"GET http://content.invalid/Scenes/7.jpg"});

    EXPECT_EQ(Fetch("Scenes/7.jpg", Target()), DownloadStateDone);  // 127.0.0.1: straight to the server
    EXPECT_EQ(ReadFile(Target()), QByteArray("\xFF\xD8scene", 7));
    EXPECT_EQ(proxy.Requests().size(), 1u);
}

TEST_F(DownloadThreadTest, ServerErrorsFailBeforeAnyDataAndRemoveTheFile)
{
    for (const char* route : {"fault/404", "fault/500"}) {
        EXPECT_EQ(Fetch(route, Target()), DownloadStateFailed) << route;
        EXPECT_EQ(m_worker.ErrorText(), "Web file not found, or other server error (" + m_server.Url(route) + ")");
        EXPECT_EQ(m_worker.Reason(), DownloadErrorServer);
        EXPECT_EQ(m_worker.BytesWritten(), 0);
        EXPECT_FALSE(Exists(Target()));
    }
    // 399 is not an error.
    EXPECT_EQ(Fetch("fault/399", Target()), DownloadStateDone);
    EXPECT_EQ(ReadFile(Target()), QByteArray("status 399"));
    // Nor is a missing file of the tree answered any other way.
    EXPECT_EQ(Fetch("Scenes/8.jpg", Target()), DownloadStateFailed);
}

// A worker with a short idle limit, for the stalls that only the watchdog ends.
class WatchdogTest : public DownloadThreadTest {
protected:
    WatchdogTest()
    {
        m_quick.Start();
        EXPECT_TRUE(WaitUntil([&] { return m_quick.State() == DownloadStateIdle; }));
    }

    DownloadThread m_quick{TimeoutTimings()};
};

TEST_F(WatchdogTest, StalledDownloadIsAborted)
{
    EXPECT_EQ(Fetch(m_quick, "fault/stall", Target()), DownloadStateFailed);
    EXPECT_EQ(m_quick.ErrorText(), "Timeout in trying to load (" + m_server.Url("fault/stall") + ")");
    EXPECT_EQ(m_quick.Reason(), DownloadErrorAbort);
    EXPECT_EQ(m_quick.SubReason(), AbortTimeout);
    EXPECT_FALSE(m_quick.StopFlag());
    EXPECT_FALSE(Exists(Target()));
}

TEST_F(WatchdogTest, RegressionAbortsWhileWaitingForHeaders)
{
    EXPECT_EQ(Fetch(m_quick, "fault/stall-headers", Target()), DownloadStateFailed);
    EXPECT_EQ(m_quick.ErrorText(), "Timeout in trying to load (" + m_server.Url("fault/stall-headers") + ")");
    EXPECT_FALSE(Exists(Target()));
}

TEST_F(WatchdogTest, RegressionAbortsWhileConnecting)
{
    // A listening socket whose backlog is full and that nobody accepts from: connecting hangs.
    sockaddr_in address{};
    const int listener = BoundLoopbackSocket(address);
    ASSERT_GE(listener, 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 8; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(filler);
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x";
    m_quick.StartDownload(url, Local(Target()));
    EXPECT_TRUE(WaitUntil([&] { return IsFinal(m_quick.State()); }));
    EXPECT_EQ(m_quick.State(), DownloadStateFailed);
    EXPECT_EQ(m_quick.ErrorText(), "Timeout in trying to load (" + url + ")");
    EXPECT_FALSE(Exists(Target()));
    for (int filler : fillers)
        ::close(filler);
    ::close(listener);
}

TEST_F(DownloadThreadTest, ConnectionRefusedIsATransportError)
{
    sockaddr_in address{};
    ::close(BoundLoopbackSocket(address));  // a port that nothing listens on
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x";
    m_worker.StartDownload(url, Local(Target()));
    EXPECT_TRUE(WaitUntil([&] { return IsFinal(m_worker.State()); }));
    EXPECT_EQ(m_worker.State(), DownloadStateFailed);
    EXPECT_EQ(m_worker.ErrorText(), "Internet system error 800C0004 (" + url + ")");
    EXPECT_FALSE(Exists(Target()));
}

TEST_F(DownloadThreadTest, GzipIsDecodedAndZipStoredRaw)
{
    EXPECT_EQ(Fetch("fault/gzip", Target()), DownloadStateDone);
    EXPECT_EQ(ReadFile(Target()).toStdString(), LoopbackServer::GzipText());
    EXPECT_TRUE(m_worker.Encoded());

    EXPECT_EQ(Fetch("fault/zip", Target()), DownloadStateDone);
    EXPECT_EQ(ReadFile(Target()).toStdString(), LoopbackServer::ZipBytes());
    EXPECT_TRUE(m_worker.Encoded());
}

TEST_F(DownloadThreadTest, RegressionHeaderTextIsCapped)
{
    // The media type comes after 100 KB of headers, past the 64 KiB that are read: not seen, so not encoded.
    EXPECT_EQ(Fetch("fault/many-headers", Target()), DownloadStateDone);
    EXPECT_EQ(ReadFile(Target()).toStdString(), LoopbackServer::ZipBytes());
    EXPECT_FALSE(m_worker.Encoded());
    // Within the cap the same type is seen.
    EXPECT_EQ(Fetch("fault/zip", Target()), DownloadStateDone);
    EXPECT_TRUE(m_worker.Encoded());
}

TEST_F(DownloadThreadTest, BodyWithoutLengthLeavesProgressMaxZero)
{
    EXPECT_EQ(Fetch("fault/chunked", Target()), DownloadStateDone);
    EXPECT_EQ(ReadFile(Target()).toStdString(), LoopbackServer::ChunkedText());
    EXPECT_EQ(m_worker.ProgressMax(), 0);
}

TEST_F(DownloadThreadTest, BodyShorterThanItsLengthFails)
{
    EXPECT_EQ(Fetch("fault/short", Target()), DownloadStateFailed);
    EXPECT_EQ(m_worker.ErrorText(), "Internet system error 800C0008 (" + m_server.Url("fault/short") + ")");
    EXPECT_FALSE(Exists(Target()));
}

TEST_F(DownloadThreadTest, EmptyBodyCompletesWithAnEmptyFile)
{
    EXPECT_EQ(Fetch("fault/empty", Target()), DownloadStateDone);
    EXPECT_TRUE(Exists(Target()));
    EXPECT_EQ(ReadFile(Target()), QByteArray());
}

TEST_F(DownloadThreadTest, TargetInAMissingFolderFailsAtOnce)
{
    const QString target = m_dir.filePath(QStringLiteral("no/such/folder/out.bin"));
    m_worker.StartDownload(m_server.Url("Scenes/7.jpg"), Local(target));
    EXPECT_EQ(m_worker.State(), DownloadStateFailed);
    EXPECT_EQ(m_worker.Reason(), DownloadErrorOpen);
    EXPECT_EQ(m_worker.ErrorText(), "File open error (" + m_server.Url("Scenes/7.jpg") + ")");
    EXPECT_FALSE(Exists(target));
    EXPECT_TRUE(QDir(m_dir.path()).exists());
}

TEST_F(DownloadThreadTest, RegressionEmptyPathOrFolderPathFailsInsteadOfHanging)
{
    for (const std::string& path : {std::string(), Local(m_dir.path()) + "/"}) {
        m_worker.Acknowledge();
        m_worker.StartDownload(m_server.Url("Scenes/7.jpg"), path);
        EXPECT_EQ(m_worker.State(), DownloadStateFailed) << path;
        EXPECT_EQ(m_worker.ErrorText(), "File open error (" + m_server.Url("Scenes/7.jpg") + ")");
    }
}

TEST_F(DownloadThreadTest, RegressionAddressWithControlCharactersIsRefused)
{
    const std::string url = m_server.Url("Scenes/7.jpg\r\nX-Injected: 1");
    m_worker.StartDownload(url, Local(Target()));
    EXPECT_EQ(m_worker.State(), DownloadStateFailed);
    EXPECT_EQ(m_worker.ErrorText(), "Internet file error 800C0002 (" + url + ")");
    EXPECT_FALSE(Exists(Target()));
    EXPECT_TRUE(m_server.Recorded().empty());
}

TEST_F(DownloadThreadTest, RegressionWriteFailureFailsTheDownload)
{
    // The file size limit makes the second write of the body fail, as a full disk would.
    WriteFile(m_dir.filePath(QStringLiteral("tree/big.bin")), QByteArray(200000, 'b'));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const int32_t state = Fetch("big.bin", Target());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(state, DownloadStateFailed);
    EXPECT_EQ(m_worker.Reason(), DownloadErrorWrite);
    EXPECT_EQ(m_worker.ErrorText(), "File write error, disk may be full (" + m_server.Url("big.bin") + ")");
    EXPECT_FALSE(Exists(Target()));
}

TEST_F(DownloadThreadTest, AcknowledgeAndStartFollowTheStates)
{
    m_worker.StartDownload(m_server.Url("fault/stall"), Local(Target()));
    EXPECT_EQ(m_worker.State(), DownloadStateBusy);
    // A busy worker is neither acknowledged nor given a second download.
    m_worker.Acknowledge();
    m_worker.StartDownload(m_server.Url("Scenes/7.jpg"), Local(Target(QStringLiteral("other"))));
    EXPECT_EQ(m_worker.State(), DownloadStateBusy);
    EXPECT_FALSE(Exists(Target(QStringLiteral("other"))));
    m_worker.PostAbort(AbortByUser, false);
    EXPECT_TRUE(WaitUntil([&] { return IsFinal(m_worker.State()); }));
    EXPECT_EQ(m_worker.State(), DownloadStateAborted);
    m_worker.Acknowledge();
    EXPECT_EQ(m_worker.State(), DownloadStateIdle);
    m_worker.Acknowledge();
    EXPECT_EQ(m_worker.State(), DownloadStateIdle);
}

TEST_F(DownloadThreadTest, AbortSubReasonsEndInTheirStates)
{
    DownloadThread& worker = m_worker;
    struct Case {
        int32_t subReason;
        bool alsoStop;
        int32_t state;
        std::string text;
    };
    const std::string url = m_server.Url("fault/stall");
    const Case cases[] = {
        {AbortOverridden, false, DownloadStateRequeue, "File overriden by program (" + url + ")"},
        {AbortByUser, true, DownloadStateAborted, "File aborted by user (" + url + ")"},
        {AbortStopped, true, DownloadStateFailed, "File write stopped by user (" + url + ")"},
    };
    for (const Case& c : cases) {
        worker.Acknowledge();
        worker.StartDownload(url, Local(Target()));
        ASSERT_TRUE(WaitUntil([&] { return worker.Progress() > 0; }));
        worker.PostAbort(c.subReason, c.alsoStop);
        ASSERT_TRUE(WaitUntil([&] { return IsFinal(worker.State()); }));
        EXPECT_EQ(worker.State(), c.state);
        EXPECT_EQ(worker.ErrorText(), c.text);
        EXPECT_EQ(worker.SubReason(), c.subReason);
        // Cleared on every final state, or the queue would ignore the worker for ever.
        EXPECT_FALSE(worker.StopFlag());
        EXPECT_FALSE(Exists(Target()));
    }
}

TEST_F(DownloadThreadTest, AbortAskedForWhileIdleDoesNotTouchTheNextDownload)
{
    m_worker.PostAbort(AbortByUser, true);
    EXPECT_EQ(Fetch("Scenes/7.jpg", Target()), DownloadStateDone);
}

TEST_F(DownloadThreadTest, ShutdownDuringADownloadRemovesThePartialFile)
{
    m_worker.StartDownload(m_server.Url("fault/stall"), Local(Target()));
    ASSERT_TRUE(WaitUntil([&] { return m_worker.Progress() == static_cast<int32_t>(LoopbackServer::StallSent); }));
    EXPECT_TRUE(Exists(Target()));
    m_worker.RequestShutdown();
    m_worker.Join();
    EXPECT_EQ(m_worker.State(), DownloadStateFailed);
    EXPECT_FALSE(Exists(Target()));
}

} // namespace
