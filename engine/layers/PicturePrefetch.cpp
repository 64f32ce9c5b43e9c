#include "engine/layers/PicturePrefetch.h"

#include "engine/layers/ImageReference.h"

namespace {

PicturePrefetch* g_batch = nullptr;

} // namespace

PicturePrefetch::PicturePrefetch(QStringList paths) : m_paths(std::move(paths))
{
    m_worker = std::async(std::launch::async, [paths = m_paths] {
        std::vector<QImage> pictures;
        pictures.reserve(static_cast<size_t>(paths.size()));
        for (const QString& path : paths)
            pictures.push_back(ImageReference::ReadPicture(path));
        return pictures;
    });
    g_batch = this;
}

PicturePrefetch::~PicturePrefetch()
{
    if (g_batch == this)
        g_batch = nullptr;
    if (m_worker.valid())
        m_worker.wait();
}

std::optional<QImage> PicturePrefetch::Take(const QString& path)
{
    if (!g_batch || path.isEmpty())
        return std::nullopt;
    const qsizetype at = g_batch->m_paths.indexOf(path);
    if (at < 0)
        return std::nullopt;
    if (!g_batch->m_finished) {
        g_batch->m_pictures = g_batch->m_worker.get();
        g_batch->m_finished = true;
    }
    g_batch->m_paths[at].clear();
    QImage picture = std::move(g_batch->m_pictures[static_cast<size_t>(at)]);
    if (picture.isNull())
        return std::nullopt;
    return picture;
}
