#pragma once

#include "engine/base/TaskList.h"
#include "library/download/DownloadThread.h"
#include "library/download/Request.h"
#include "library/download/RequestListener.h"

#include <QHash>
#include <QString>

#include <array>
#include <bitset>
#include <functional>
#include <list>
#include <memory>
#include <utility>
#include <vector>

// The one queue through which the program asks for content files. Runs on the user-interface thread:
// its task hands queued requests to idle workers, copies their progress and harvests finished ones.
// Every download arrives as path + "_" and is renamed onto path only when complete, so a file at path
// is always whole.
class RequestManager {
public:
    static constexpr int WorkerCount = 5;
    using WorkerFactory = std::function<std::unique_ptr<DownloadThread>(const DownloadTimings&)>;

    // Links the queue's task into the task list and starts the workers (made by factory when given).
    explicit RequestManager(const DownloadTimings& timings = {}, const WorkerFactory& factory = {});
    // Shuts down, then unlinks the task.
    ~RequestManager();
    RequestManager(const RequestManager&) = delete;
    RequestManager& operator=(const RequestManager&) = delete;

    // An id, or RequestAlreadyCached, or RequestQueueFull.
    int32_t AddRequest(const QString& url, const QString& path, int32_t priority, bool tempName, bool force);
    // The listed request with that id (the cursor stays on it), or null.
    Request* FindRequest(int32_t id);
    // The queued request with the lowest priority, the earliest listed on ties (the cursor stays on it).
    Request* NextPending();
    // Removes the request at the cursor.
    void RemoveCurrent();
    // One tick: the harvest pass, then the start pass. Always true: the task never ends.
    bool Process();
    // Aborts and joins the workers; no partial or unrenamed file stays behind. Ticks then do nothing.
    void Shutdown();

    // The status of an id, or of a negative answer of AddRequest; an id never issued reads as failed.
    int Status(int32_t id) const;

    // Listeners are told of every request that leaves the list (RequestListener). A listener removes
    // itself before it goes; the queue must outlive it.
    void AddListener(RequestListener* listener);
    void RemoveListener(RequestListener* listener);

    DownloadThread& Worker(int index) { return *workers[static_cast<size_t>(index)]; }

    std::list<Request> requests;  // in order of creation
    std::vector<uint8_t> status;  // by id

private:
    void Harvest(DownloadThread& worker);
    void Finish(int32_t id, int32_t finalState);
    // Takes the request out of the list, frees its id and tells the listeners.
    std::list<Request>::iterator Unlist(std::list<Request>::iterator request);

    std::array<std::unique_ptr<DownloadThread>, WorkerCount> workers;
    std::list<Request>::iterator cursor;
    Task<RequestManager>* task = nullptr;
    int32_t lastId = 0;
    std::bitset<RequestIdCount> m_listed;  // ids of listed requests: never issued twice at once
    QHash<std::pair<QString, QString>, int32_t> m_listedByAddress;  // (url, path) of listed requests
    std::vector<RequestListener*> m_listeners;
    bool m_shutDown = false;
};

// The percent that progress is of progressMax, 0..100; 0 while the total is unknown.
int32_t ProgressPercent(int32_t progress, int32_t progressMax);

// Made at start-up, never freed.
extern RequestManager* g_requestManager;
