#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The files last opened or saved, most recent first, without repeats, at most Capacity of them.
class RecentFileList {
public:
    static constexpr qsizetype Capacity = 4;

    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Entries() const { return m_entries; }

private:
    QStringList m_entries;
};

} // namespace platform
