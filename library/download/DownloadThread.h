#pragma once

#include "library/download/DownloadTimings.h"
#include "library/download/TargetFile.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

// Worker states (DownloadThread::State).
inline constexpr int32_t DownloadStateNew = 0;       // made, thread not yet running
inline constexpr int32_t DownloadStateIdle = 1;      // ready for a download
inline constexpr int32_t DownloadStateBusy = 5;      // a download is running
inline constexpr int32_t DownloadStateDone = 6;      // the file is complete and closed
inline constexpr int32_t DownloadStateFailed = 9;    // failed; the partial file is removed
inline constexpr int32_t DownloadStateRequeue = 10;  // stopped for the program: the request goes back
inline constexpr int32_t DownloadStateAborted = 11;  // aborted by the user

// Bytes libcurl hands over at most per write.
inline constexpr long DownloadBufferSize = 32768;

using CURL = void;

// One download worker: a thread that fetches one file at a time over HTTP into a target file.
// The user-interface thread hands it a download with StartDownload, polls State, Progress and
// ProgressMax, and returns a finished worker to idle with Acknowledge. Nothing is sent back: results
// stay in the worker's fields. State, progress, progress maximum, stop flag and error text are guarded
// by the one lock; the address, path and file change hands by the state protocol (written by the
// user-interface thread only while idle, before the start is posted; used by the worker until it sets a
// final state under the lock).
class DownloadThread {
public:
    explicit DownloadThread(const DownloadTimings& timings = {});
    virtual ~DownloadThread();
    DownloadThread(const DownloadThread&) = delete;
    DownloadThread& operator=(const DownloadThread&) = delete;

    // Starts the worker's thread. A worker whose thread cannot start is retired: Failed for good.
    void Start();

    // User-interface thread. Starts a download when the worker is idle. A path that is empty, ends in
    // '/' or cannot be created, and an address with control characters, fail the download at once.
    void StartDownload(const std::string& url, const std::string& path);
    // Returns a finished worker to idle; does nothing while it is new, idle or busy.
    void Acknowledge();
    // Asks the running download to abort (the abort message); with alsoStop the queue ignores the
    // worker until it has ended.
    void PostAbort(int32_t subReason, bool alsoStop);
    // Aborts what runs, ends the thread and waits for it; the partial file is removed.
    void RequestShutdown();
    void Join();

    int32_t State() const;
    int32_t Progress() const;
    int32_t ProgressMax() const;
    bool StopFlag() const;
    std::string ErrorText() const;
    bool Retired() const;

    // Written by the worker before it sets a final state; read them only once State is final.
    int32_t Reason() const { return reason; }
    int32_t SubReason() const { return subReason; }
    bool Encoded() const { return encoded; }
    int32_t BytesWritten() const { return bytesWritten; }

    // The request being served; the queue's own, read and written without the lock.
    int32_t requestId = 0;

protected:
    // Runs ThreadMain on a new thread; throws std::system_error when it cannot.
    virtual void LaunchThread();
    void ThreadMain();

private:
    using Clock = std::chrono::steady_clock;

    bool WaitForBegin();
    void OnBeginBinding();
    bool ConfigureTransfer();
    void OnAbort(uint32_t request);
    void ReportError(uint32_t result);
    void FailAtStart(uint32_t result, int32_t failReason, const std::string& failUrl);
    bool JudgeResponse();
    bool WatchdogExpired();
    void PublishProgress(int64_t now, int64_t total);

    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnData(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, int64_t total, int64_t now, int64_t, int64_t);

    // Guarded by lock.
    int32_t state = DownloadStateNew;
    int32_t progress = 0;
    int32_t progressMax = 0;
    bool stop = false;
    std::string errorText;
    bool m_retired = false;

    // Handed over by the state protocol.
    int32_t bytesWritten = 0;
    Clock::time_point lastActivity{};
    std::string url;
    std::string path;
    TargetFile file;
    bool encoded = false;
    int32_t reason = 0;
    int32_t subReason = 0;

    mutable std::mutex lock;

    // The worker's own.
    const DownloadTimings m_timings;
    CURL* m_handle = nullptr;
    std::string m_headerText;
    bool m_responseJudged = false;
    Clock::time_point m_nextWatchdogCheck{};

    // The start message: a one-slot mailbox. The abort message: an atomic request.
    std::mutex m_mailboxLock;
    std::condition_variable m_mailboxSignal;
    bool m_beginPosted = false;
    bool m_quitPosted = false;
    std::atomic<uint32_t> m_abortRequest{0};

    std::thread m_thread;
};
