#include "platform/PicturePrefetch.h"

namespace platform {

namespace {

PicturePrefetch* g_batch = nullptr;

} // namespace

PicturePrefetch::PicturePrefetch(std::vector<Item> items)
    : m_items(std::move(items)), m_taken(m_items.size(), false), m_pictures(m_items.size()),
      m_worker([this] { ReadAll(); })
{
    g_batch = this;
}

PicturePrefetch::~PicturePrefetch()
{
    if (g_batch == this)
        g_batch = nullptr;
    {
        const std::lock_guard guard(m_lock);
        m_stop = true;
    }
    m_worker.join();
}

void PicturePrefetch::ReadAll()
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        {
            const std::lock_guard guard(m_lock);
            if (m_stop)
                return;
        }
        QImage picture = m_items[i].read();
        {
            const std::lock_guard guard(m_lock);
            m_pictures[i] = std::move(picture);
            m_read = i + 1;
        }
        m_progress.notify_all();
    }
}

std::optional<QImage> PicturePrefetch::Take(const QString& path)
{
    PicturePrefetch* batch = g_batch;
    if (!batch || path.isEmpty())
        return std::nullopt;
    size_t at = 0;
    while (at < batch->m_items.size() && (batch->m_taken[at] || batch->m_items[at].path != path))
        ++at;
    if (at == batch->m_items.size())
        return std::nullopt;
    batch->m_taken[at] = true;
    QImage picture;
    {
        std::unique_lock guard(batch->m_lock);
        batch->m_progress.wait(guard, [batch, at] { return batch->m_read > at; });
        picture = std::move(batch->m_pictures[at]);
    }
    if (picture.isNull())
        return std::nullopt;
    return picture;
}

} // namespace platform
