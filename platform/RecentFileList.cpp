#include "platform/RecentFileList.h"

namespace platform {

void RecentFileList::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    m_entries.removeAll(path);
    m_entries.prepend(path);
    while (m_entries.size() > Capacity)
        m_entries.removeLast();
}

void RecentFileList::Remove(const QString& path)
{
    m_entries.removeAll(path);
}

} // namespace platform
