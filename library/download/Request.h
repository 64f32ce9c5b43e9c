#pragma once

#include <QString>
#include <cstdint>

// Request status bytes (RequestManager::status).
inline constexpr uint8_t RequestQueued = 0;   // listed, waiting for a worker
inline constexpr uint8_t RequestRunning = 1;  // handed to a worker
inline constexpr uint8_t RequestDone = 2;     // the file is complete in the cache
inline constexpr uint8_t RequestFailed = 3;   // failed; nothing it fetched is kept

// Answers of AddRequest that are not ids; every reader takes -n as the status n.
inline constexpr int32_t RequestAlreadyCached = -2;  // reads as done
inline constexpr int32_t RequestQueueFull = -3;      // every id is taken by a listed request; reads as failed

// Priorities; the lowest value starts first.
inline constexpr int32_t RequestPriorityCatalog = 0;
inline constexpr int32_t RequestPriorityOpenSubcategory = 2;
inline constexpr int32_t RequestPriorityOpenCategory = 3;
inline constexpr int32_t RequestPriorityContent = 4;

// Ids run 1, 2, ... and wrap from 4095 to 0.
inline constexpr int32_t RequestIdMask = 0xFFF;
inline constexpr int32_t RequestIdCount = RequestIdMask + 1;

// One queued download, kept in the queue's list while it is queued or running.
struct Request {
    QString url;   // the full remote address
    QString path;  // the local target in the cache folder
    int32_t priority = RequestPriorityContent;
    int32_t id = 0;
    bool tempName = false;  // asked to arrive under path + "_" first (every download does, see RequestManager)
    int32_t progress = 0;   // percent 0..100 of a running download
};
