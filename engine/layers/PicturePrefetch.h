#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <future>
#include <optional>
#include <vector>

// Reads and decodes picture files on a worker thread of its own while the caller does other work: at
// start-up the program's own pictures (the brush stamps and the welcome picture) decode while the main
// window is being made. ImageReference::Load takes a picture from the batch that exists instead of
// reading its file; each one is taken once, so a later load of the same file reads it again. The batch
// ends with the object: it waits for the worker and drops what was not taken. One batch at a time, made,
// used and ended on one thread.
class PicturePrefetch final {
public:
    explicit PicturePrefetch(QStringList paths);
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // The picture of path as ImageReference::ReadPicture made it, waiting for the worker when it has not
    // finished; nothing when no batch exists, path is not in it, was taken already or did not decode.
    static std::optional<QImage> Take(const QString& path);

private:
    QStringList m_paths;
    std::future<std::vector<QImage>> m_worker;
    std::vector<QImage> m_pictures;
    bool m_finished = false;
};
