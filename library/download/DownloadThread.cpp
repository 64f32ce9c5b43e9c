#include "library/download/DownloadThread.h"

#include "library/download/CurlGlobal.h"
#include "library/download/DownloadError.h"
#include "library/download/ResponseHeaders.h"

#include <curl/curl.h>

#include <algorithm>
#include <climits>
#include <string_view>
#include <system_error>
#include <type_traits>

static_assert(std::is_same_v<curl_off_t, int64_t>, "the progress callback takes libcurl's offsets as int64_t");

namespace {

// Header text kept per response, status line first; a larger header block is cut here.
constexpr size_t HeaderTextLimit = 64 * 1024;
constexpr long MaxRedirects = 10;
constexpr std::string_view StatusLineStart = "HTTP/";
// The abort request: the sub-reason in the low byte, and whether to set the stop flag.
constexpr uint32_t AbortSubReasonMask = 0xFF;
constexpr uint32_t AbortAlsoStop = 0x100;
// Asks libcurl to end the transfer from a callback.
constexpr int AbortTransfer = 1;
constexpr int ContinueTransfer = 0;

int32_t Saturate32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

bool HasControlCharacters(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

bool IsHeaderBlockEnd(std::string_view line)
{
    return line == "\r\n" || line == "\n";
}

} // namespace

DownloadThread::DownloadThread(const DownloadTimings& timings) : m_timings(timings) {}

DownloadThread::~DownloadThread()
{
    RequestShutdown();
    Join();
}

void DownloadThread::Start()
{
    try {
        LaunchThread();
    } catch (const std::system_error&) {
        std::lock_guard guard(lock);
        state = DownloadStateFailed;
        m_retired = true;
        errorText = "Download thread could not start";
    }
}

void DownloadThread::LaunchThread()
{
    m_thread = std::thread([this] { ThreadMain(); });
}

void DownloadThread::ThreadMain()
{
    // libcurl's one-time set-up (its TLS library's among it, about half a millisecond) runs in the first
    // worker rather than in the user-interface thread at start-up; the others wait for it here.
    InitialiseCurlOnce();
    m_handle = curl_easy_init();
    {
        std::lock_guard guard(lock);
        if (!m_handle) {
            state = DownloadStateFailed;
            m_retired = true;
            errorText = "Download thread could not start";
            return;
        }
        if (state == DownloadStateNew)
            state = DownloadStateIdle;
    }
    while (WaitForBegin())
        OnBeginBinding();
    curl_easy_cleanup(m_handle);
    m_handle = nullptr;
}

bool DownloadThread::WaitForBegin()
{
    std::unique_lock guard(m_mailboxLock);
    m_mailboxSignal.wait(guard, [this] { return m_beginPosted || m_quitPosted; });
    if (!m_beginPosted)
        return false;
    m_beginPosted = false;
    return true;
}

void DownloadThread::StartDownload(const std::string& newUrl, const std::string& newPath)
{
    {
        std::lock_guard guard(lock);
        if (state != DownloadStateIdle)
            return;
    }
    // The worker is idle: the download's fields are this thread's until the start is posted.
    if (HasControlCharacters(newUrl)) {
        FailAtStart(ResultInvalidUrl, DownloadErrorNone, newUrl);
        return;
    }
    if (newPath.empty() || newPath.back() == '/' || !file.Open(newPath)) {
        FailAtStart(ResultAbort, DownloadErrorOpen, newUrl);
        return;
    }
    url = newUrl;
    path = newPath;
    encoded = false;
    bytesWritten = 0;
    reason = DownloadErrorNone;
    subReason = 0;
    m_abortRequest.store(0);  // an abort asked for while idle had nothing to abort
    {
        std::lock_guard guard(lock);
        state = DownloadStateBusy;
        progress = 0;
        progressMax = 0;
        errorText.clear();
        stop = false;
    }
    {
        std::lock_guard guard(m_mailboxLock);
        m_beginPosted = true;
    }
    m_mailboxSignal.notify_one();
}

void DownloadThread::FailAtStart(uint32_t result, int32_t failReason, const std::string& failUrl)
{
    reason = failReason;
    subReason = 0;
    const std::string text = DownloadErrorText(result, failReason, 0, failUrl);
    std::lock_guard guard(lock);
    state = DownloadStateFailed;
    stop = false;
    errorText = text;
}

void DownloadThread::Acknowledge()
{
    std::lock_guard guard(lock);
    if (state == DownloadStateNew || state == DownloadStateIdle || state == DownloadStateBusy || m_retired)
        return;
    lastActivity = {};
    state = DownloadStateIdle;
}

void DownloadThread::PostAbort(int32_t abortSubReason, bool alsoStop)
{
    m_abortRequest.store((static_cast<uint32_t>(abortSubReason) & AbortSubReasonMask) | (alsoStop ? AbortAlsoStop : 0));
}

void DownloadThread::RequestShutdown()
{
    PostAbort(AbortStopped, true);
    {
        std::lock_guard guard(m_mailboxLock);
        m_quitPosted = true;
    }
    m_mailboxSignal.notify_one();
}

void DownloadThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

int32_t DownloadThread::State() const
{
    std::lock_guard guard(lock);
    return state;
}

int32_t DownloadThread::Progress() const
{
    std::lock_guard guard(lock);
    return progress;
}

int32_t DownloadThread::ProgressMax() const
{
    std::lock_guard guard(lock);
    return progressMax;
}

bool DownloadThread::StopFlag() const
{
    std::lock_guard guard(lock);
    return stop;
}

std::string DownloadThread::ErrorText() const
{
    std::lock_guard guard(lock);
    return errorText;
}

bool DownloadThread::Retired() const
{
    std::lock_guard guard(lock);
    return m_retired;
}

void DownloadThread::OnBeginBinding()
{
    lastActivity = Clock::now();
    m_nextWatchdogCheck = lastActivity + m_timings.watchdogPeriod;
    m_headerText.clear();
    m_responseJudged = false;
    if (const uint32_t request = m_abortRequest.exchange(0)) {
        OnAbort(request);
        ReportError(ResultAbort);
        return;
    }
    if (!ConfigureTransfer()) {
        ReportError(ResultDownloadFailure);
        return;
    }
    const CURLcode code = curl_easy_perform(m_handle);
    if (code == CURLE_OK && reason == DownloadErrorNone && !m_responseJudged)
        JudgeResponse();  // no header block came through the callback: judge by libcurl's status
    if (code != CURLE_OK || reason != DownloadErrorNone) {
        ReportError(reason != DownloadErrorNone ? ResultAbort : ResultFromCurl(code));
        return;
    }
    if (!file.Close()) {
        reason = DownloadErrorWrite;
        ReportError(ResultAbort);
        return;
    }
    std::lock_guard guard(lock);
    state = DownloadStateDone;
    stop = false;
}

bool DownloadThread::ConfigureTransfer()
{
    CURL* h = m_handle;
    curl_easy_reset(h);  // keeps the open connections for the next download
    bool ok = curl_easy_setopt(h, CURLOPT_URL, url.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_MAXREDIRS, MaxRedirects) == CURLE_OK;
    // Every request names its own address as the referrer.
    ok = ok && curl_easy_setopt(h, CURLOPT_REFERER, url.c_str()) == CURLE_OK;
    ok = ok && UseSystemProxyExceptLoopback(h);
    ok = ok && curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                                static_cast<long>(m_timings.connectTimeout.count())) == CURLE_OK;
    // Compressed transfers are decoded: the file holds the content itself.
    ok = ok && curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "") == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_BUFFERSIZE, DownloadBufferSize) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &DownloadThread::OnHeader) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_HEADERDATA, this) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &DownloadThread::OnData) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_WRITEDATA, this) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &DownloadThread::OnProgress) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_XFERINFODATA, this) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
    return ok;
}

size_t DownloadThread::OnHeader(char* data, size_t size, size_t count, void* self)
{
    auto* worker = static_cast<DownloadThread*>(self);
    const size_t bytes = size * count;
    const std::string_view line(data, bytes);
    // Each response (a redirect, an interim 100) starts with its status line and starts the text over.
    if (line.substr(0, StatusLineStart.size()) == StatusLineStart)
        worker->m_headerText.clear();
    const size_t room = HeaderTextLimit - std::min(HeaderTextLimit, worker->m_headerText.size());
    worker->m_headerText.append(line.substr(0, room));
    if (IsHeaderBlockEnd(line) && !worker->JudgeResponse())
        return 0;  // libcurl ends the transfer before any data
    return bytes;
}

bool DownloadThread::JudgeResponse()
{
    const ResponseHeaders response = ResponseHeaders::Read(m_headerText);
    encoded = response.encoded;
    long code = 0;
    curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &code);
    m_responseJudged = true;
    if (response.EffectiveStatus(code) < FirstFailingStatus)
        return true;
    reason = DownloadErrorServer;
    return false;
}

size_t DownloadThread::OnData(char* data, size_t size, size_t count, void* self)
{
    auto* worker = static_cast<DownloadThread*>(self);
    const size_t bytes = size * count;
    worker->lastActivity = Clock::now();
    if (worker->reason != DownloadErrorNone)
        return 0;
    if (!worker->file.Write(data, bytes)) {
        worker->reason = DownloadErrorWrite;
        return 0;
    }
    worker->bytesWritten = Saturate32(static_cast<int64_t>(worker->bytesWritten) + static_cast<int64_t>(bytes));
    return bytes;
}

int DownloadThread::OnProgress(void* self, int64_t total, int64_t now, int64_t, int64_t)
{
    auto* worker = static_cast<DownloadThread*>(self);
    if (const uint32_t request = worker->m_abortRequest.exchange(0)) {
        worker->OnAbort(request);
        return AbortTransfer;
    }
    if (worker->WatchdogExpired()) {
        worker->OnAbort(AbortTimeout);
        return AbortTransfer;
    }
    worker->PublishProgress(now, total);
    return ContinueTransfer;
}

bool DownloadThread::WatchdogExpired()
{
    const Clock::time_point now = Clock::now();
    if (now < m_nextWatchdogCheck)
        return false;
    m_nextWatchdogCheck = now + m_timings.watchdogPeriod;
    {
        std::lock_guard guard(lock);
        if (state != DownloadStateBusy)
            return false;
    }
    return IdleLimitExceeded(now - lastActivity, m_timings.idleTimeout);
}

void DownloadThread::PublishProgress(int64_t now, int64_t total)
{
    const int32_t newProgress = Saturate32(now);
    const int32_t newMax = Saturate32(total);
    {
        std::lock_guard guard(lock);
        progress = newProgress;
    }
    std::lock_guard guard(lock);
    progressMax = newMax;
}

void DownloadThread::OnAbort(uint32_t request)
{
    subReason = static_cast<int32_t>(request & AbortSubReasonMask);
    if (request & AbortAlsoStop) {
        std::lock_guard guard(lock);
        stop = true;
    }
    reason = DownloadErrorAbort;
}

void DownloadThread::ReportError(uint32_t result)
{
    if (result == ResultOk)
        return;
    // The partial file goes before the final state is published: the queue never sees it.
    if (file.IsOpen()) {
        file.Close();
        TargetFile::RemoveIfRegular(path);
    }
    const std::string text = DownloadErrorText(result, reason, subReason, url);
    std::lock_guard guard(lock);
    state = DownloadStateFailed;
    if (result == ResultAbort && reason == DownloadErrorAbort) {
        if (subReason == AbortOverridden)
            state = DownloadStateRequeue;
        else if (subReason == AbortByUser)
            state = DownloadStateAborted;
    }
    stop = false;
    errorText = text;
}
