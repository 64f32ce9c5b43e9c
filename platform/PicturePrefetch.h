#pragma once

#include <QImage>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace platform {

// Reads and decodes pictures on a worker thread of its own, in order, while the caller does other work:
// at start-up the compiled-in pictures of the main window, the brush stamps, the welcome picture and the
// cursors decode while the window is being made. Readers of pictures (ImageReference::Load, Resources)
// ask the batch that exists for a path first (Take); each item is taken once, so a later load of the same
// path reads it again. The batch ends with the object: the worker stops after its current item and what
// was not taken is dropped. One batch at a time, made, asked and ended on one thread.
class PicturePrefetch final {
public:
    // One picture: the path it is asked for by, and how the worker reads it.
    struct Item {
        QString path;
        std::function<QImage()> read;
    };

    explicit PicturePrefetch(std::vector<Item> items);
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // The first item of path not taken yet, waiting for the worker to read it; nothing when no batch
    // exists, path has no such item or its picture is null (the caller then reads it itself).
    static std::optional<QImage> Take(const QString& path);

private:
    void ReadAll();

    const std::vector<Item> m_items;
    std::vector<bool> m_taken;        // the caller's thread only
    std::vector<QImage> m_pictures;   // under m_lock
    size_t m_read = 0;                // under m_lock: items read so far
    bool m_stop = false;              // under m_lock
    std::mutex m_lock;
    std::condition_variable m_progress;
    std::thread m_worker;  // last: it starts once the fields above exist
};

} // namespace platform
