#include "library/download/RequestManager.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <thread>

RequestManager* g_requestManager = nullptr;

namespace {

// A download arrives under its path with this appended.
const QString PartialSuffix = QStringLiteral("_");
constexpr int64_t FullPercent = 100;

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

bool FileExists(const QString& path)
{
    struct stat info {};
    return ::stat(LocalPath(path).c_str(), &info) == 0;
}

// The file a request's download writes. A path that names no file is passed on as it is, and the
// worker fails it.
std::string DownloadTarget(const QString& path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return LocalPath(path);
    return LocalPath(path + PartialSuffix);
}

} // namespace

int32_t ProgressPercent(int32_t progress, int32_t progressMax)
{
    if (progressMax < 1)
        return 0;
    // In 64 bits: a file past 21 MB would overflow progress x 100 in 32.
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{progress} * FullPercent / progressMax, 0, FullPercent));
}

RequestManager::RequestManager(const DownloadTimings& timings, const WorkerFactory& factory)
    : cursor(requests.end())
{
    task = new Task<RequestManager>(this, &RequestManager::Process, TaskPriorityDownloads);
    for (auto& worker : workers) {
        worker = factory ? factory(timings) : std::make_unique<DownloadThread>(timings);
        worker->Start();
        std::this_thread::yield();
    }
}

RequestManager::~RequestManager()
{
    Shutdown();
    TaskNode::Dispose(task);
}

int32_t RequestManager::AddRequest(const QString& url, const QString& path, int32_t priority, bool tempName,
                                   bool force)
{
    // A listed request for the same address and path answers, whatever the cache holds. Looked up by
    // address, so that queuing a whole catalogue's thumbnails is not quadratic.
    const auto listed = m_listedByAddress.constFind({url, path});
    if (listed != m_listedByAddress.cend())
        return *listed;
    if (!force && FileExists(path))
        return RequestAlreadyCached;

    if (m_listed.all())
        return RequestQueueFull;  // known at once, not after a search of every id
    int32_t id = -1;
    for (int32_t step = 1; step <= RequestIdCount; ++step) {
        const int32_t candidate = (lastId + step) & RequestIdMask;
        if (!m_listed.test(static_cast<size_t>(candidate))) {
            id = candidate;
            break;
        }
    }
    if (id < 0)
        return RequestQueueFull;
    lastId = id;
    if (static_cast<size_t>(id) >= status.size())
        status.resize(static_cast<size_t>(id) + 1, RequestQueued);
    requests.push_back(Request{url, path, priority, id, tempName, 0});
    status[static_cast<size_t>(id)] = RequestQueued;
    m_listed.set(static_cast<size_t>(id));
    m_listedByAddress.insert({url, path}, id);
    return id;
}

Request* RequestManager::FindRequest(int32_t id)
{
    for (cursor = requests.begin(); cursor != requests.end(); ++cursor) {
        if (cursor->id == id)
            return &*cursor;
    }
    return nullptr;
}

Request* RequestManager::NextPending()
{
    auto kept = requests.end();
    for (auto it = requests.begin(); it != requests.end(); ++it) {
        if (status[static_cast<size_t>(it->id)] != RequestQueued)
            continue;
        if (kept == requests.end() || it->priority < kept->priority)
            kept = it;
    }
    if (kept == requests.end())
        return nullptr;
    cursor = kept;
    return &*kept;
}

void RequestManager::RemoveCurrent()
{
    if (cursor == requests.end())
        return;
    Unlist(cursor);
    cursor = requests.end();
}

std::list<Request>::iterator RequestManager::Unlist(std::list<Request>::iterator request)
{
    const int32_t id = request->id;
    m_listed.reset(static_cast<size_t>(id));
    m_listedByAddress.remove({request->url, request->path});
    const auto next = requests.erase(request);
    for (RequestListener* listener : m_listeners)
        listener->OnRequestUnlisted(id, Status(id));
    return next;
}

void RequestManager::AddListener(RequestListener* listener)
{
    if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void RequestManager::RemoveListener(RequestListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

bool RequestManager::Process()
{
    if (m_shutDown)
        return true;
    for (auto& worker : workers)
        Harvest(*worker);
    for (auto& worker : workers) {
        if (worker->State() != DownloadStateIdle)
            continue;
        Request* request = NextPending();
        if (!request)
            break;
        worker->requestId = request->id;
        status[static_cast<size_t>(request->id)] = RequestRunning;
        worker->StartDownload(request->url.toStdString(), DownloadTarget(request->path));
    }
    return true;
}

void RequestManager::Harvest(DownloadThread& worker)
{
    if (worker.Retired())
        return;
    const int32_t state = worker.State();
    const int32_t id = worker.requestId;
    if (state == DownloadStateNew || state == DownloadStateIdle)
        return;
    if (worker.StopFlag())
        return;
    if (state == DownloadStateBusy) {
        if (Request* request = FindRequest(id)) {
            const int32_t progress = worker.Progress();
            const int32_t progressMax = worker.ProgressMax();
            request->progress = ProgressPercent(progress, progressMax);
        }
        return;
    }
    worker.Acknowledge();
    if (state == DownloadStateRequeue) {
        status[static_cast<size_t>(id)] = RequestQueued;
        return;
    }
    Finish(id, state);
}

void RequestManager::Finish(int32_t id, int32_t finalState)
{
    status[static_cast<size_t>(id)] = finalState == DownloadStateDone ? RequestDone : RequestFailed;
    Request* request = FindRequest(id);
    if (!request)
        return;
    if (finalState == DownloadStateDone) {
        // One rename puts the whole file in place; when it fails the old file stays and the request fails.
        const std::string partial = LocalPath(request->path + PartialSuffix);
        std::error_code error;
        std::filesystem::rename(partial, LocalPath(request->path), error);
        if (error) {
            status[static_cast<size_t>(id)] = RequestFailed;
            TargetFile::RemoveIfRegular(partial);
        }
    }
    RemoveCurrent();
}

void RequestManager::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    for (auto& worker : workers)
        worker->RequestShutdown();
    for (auto& worker : workers)
        worker->Join();
    // Aborted downloads removed their files; complete ones that were never harvested are not put in place.
    for (auto& worker : workers) {
        if (worker->Retired() || worker->State() != DownloadStateDone)
            continue;
        if (Request* request = FindRequest(worker->requestId))
            TargetFile::RemoveIfRegular(LocalPath(request->path + PartialSuffix));
    }
    // Nothing will run any more: whoever still waits sees the requests failed.
    for (const Request& request : requests)
        status[static_cast<size_t>(request.id)] = RequestFailed;
    for (auto request = requests.begin(); request != requests.end();)
        request = Unlist(request);
    cursor = requests.end();
}

int RequestManager::Status(int32_t id) const
{
    if (id < 0)
        return id >= RequestQueueFull ? -id : RequestFailed;
    if (static_cast<size_t>(id) >= status.size())
        return RequestFailed;
    return status[static_cast<size_t>(id)];
}
