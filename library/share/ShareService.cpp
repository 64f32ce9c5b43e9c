#include "library/share/ShareService.h"

#include "engine/base/AppPaths.h"
#include "engine/base/TaskList.h"
#include "engine/document/Document.h"
#include "library/download/CurlGlobal.h"
#include "library/share/ShareForm.h"
#include "platform/PathJoin.h"

#include <QFile>
#include <QUrl>
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

constexpr int DefaultHttpPort = 80;
const QString ShareFolder = QStringLiteral("Snapmingle2/");
const char* const ServicePath = "/shareAction.php";
const char* const UserAgent = "Microsoft Internet Explorer";
const char* const AcceptHeader = "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
// libcurl would announce a body of some size with "Expect: 100-continue" and wait for the go-ahead.
const char* const NoExpectHeader = "Expect:";

struct EasyCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListCleanup>;

bool AppendHeader(HeaderList& list, const char* line)
{
    curl_slist* head = curl_slist_append(list.get(), line);
    if (!head)
        return false;  // the list is as it was
    list.release();
    list.reset(head);
    return true;
}

// The service's address with the path; the port is named unless it is HTTP's own.
QByteArray ServiceUrl(const char* path)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(g_paths->shareHost);
    if (g_paths->sharePort != DefaultHttpPort)
        url.setPort(g_paths->sharePort);
    url.setPath(QString::fromLatin1(path));
    return url.isValid() ? url.toEncoded() : QByteArray();
}

// One post in progress: the reply being read and the stall watchdog's view of the bytes moved.
struct Transfer {
    using Clock = std::chrono::steady_clock;

    explicit Transfer(std::chrono::milliseconds limit) : stallTimeout(limit) {}

    ShareReply reply;
    std::chrono::milliseconds stallTimeout;
    Clock::time_point lastMove = Clock::now();
    curl_off_t received = 0;
    curl_off_t sent = 0;
};

// Keeps the answer up to the limit; a longer answer ends the transfer there (libcurl reports a write
// error, which the caller reads as a full buffer).
size_t OnAnswer(char* data, size_t size, size_t count, void* transfer)
{
    QByteArray& answer = static_cast<Transfer*>(transfer)->reply.answer;
    const size_t room = static_cast<size_t>(ShareAnswerLimit - answer.size());
    const size_t taken = std::min(room, size * count);
    answer.append(data, static_cast<qsizetype>(taken));
    return taken;
}

// The stall watchdog, in every phase: connecting, sending and waiting for the answer.
int OnProgress(void* data, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent)
{
    constexpr int Continue = 0;
    constexpr int Abort = 1;
    auto& transfer = *static_cast<Transfer*>(data);
    const Transfer::Clock::time_point now = Transfer::Clock::now();
    if (received != transfer.received || sent != transfer.sent) {
        transfer.received = received;
        transfer.sent = sent;
        transfer.lastMove = now;
        return Continue;
    }
    return now - transfer.lastMove > transfer.stallTimeout ? Abort : Continue;
}

} // namespace

ShareService::ShareService(const ShareTimings& timings) : m_timings(timings) {}

QString ShareService::PicturePath()
{
    if (!g_paths)
        return {};
    return platform::JoinPath(g_paths->dataFolder, ShareFolder + QString::fromLatin1(ShareForm::PictureFileName));
}

bool ShareService::SendPicture(Document& document, const ShareMessage& message) const
{
    const QString path = PicturePath();
    if (path.isEmpty())
        return false;
    // A picture left by an earlier send must never go out in place of this one.
    if (QFile::exists(path) && !QFile::remove(path))
        return false;
    if (!document.SavePicture(path))
        return false;
    const TaskListSuspension noTicks;  // the post blocks; no tick would run anyway, none is made up
    return PostShare(path, message);
}

bool ShareService::PostShare(const QString& picturePath, const ShareMessage& message) const
{
    return PostReply(picturePath, message).Accepted();
}

ShareReply ShareService::PostReply(const QString& picturePath, const ShareMessage& message) const
{
    if (!g_paths || g_paths->shareHost.isEmpty())
        return {};
    QFile file(picturePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray picture = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    const ShareForm form(message, picture);
    const QByteArray url = ServiceUrl(ServicePath);
    const QByteArray referer = ServiceUrl("/");
    if (url.isEmpty() || referer.isEmpty())
        return {};

    InitialiseCurlOnce();
    const std::unique_ptr<CURL, EasyCleanup> handle(curl_easy_init());
    HeaderList headers;
    if (!handle || !AppendHeader(headers, form.ContentTypeHeader().constData()) ||
        !AppendHeader(headers, AcceptHeader) || !AppendHeader(headers, NoExpectHeader))
        return {};

    Transfer transfer(m_timings.stallTimeout);
    CURL* h = handle.get();
    bool ok = curl_easy_setopt(h, CURLOPT_URL, url.constData()) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) == CURLE_OK;
    ok = ok && UseSystemProxyExceptLoopback(h);
    ok = ok && curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                                static_cast<long>(m_timings.connectTimeout.count())) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_USERAGENT, UserAgent) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_REFERER, referer.constData()) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_POSTFIELDS, form.Body().constData()) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(form.Body().size())) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnAnswer) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer) == CURLE_OK;
    if (!ok)
        return {};

    ShareReply& reply = transfer.reply;
    reply.answer.reserve(ShareAnswerLimit);
    const CURLcode code = curl_easy_perform(h);
    reply.answered = code == CURLE_OK || (code == CURLE_WRITE_ERROR && reply.answer.size() == ShareAnswerLimit);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &reply.status);
    return reply;
}
