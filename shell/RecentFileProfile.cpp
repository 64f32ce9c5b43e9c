#include "shell/RecentFileProfile.h"

#include "platform/RecentFileList.h"
#include "platform/RegistryStore.h"

namespace {

using Root = platform::RegistryStore::Root;

QString SlotName(qsizetype slot)
{
    return QStringLiteral("File%1").arg(slot + 1);
}

} // namespace

void RecentFileProfile::Load(const platform::RegistryStore& registry, platform::RecentFileList& list)
{
    // The oldest first, so that File1 ends up at the top.
    for (qsizetype slot = platform::RecentFileList::Capacity - 1; slot >= 0; --slot) {
        const auto path = registry.ReadString(Root::CurrentUser, QString::fromLatin1(SubKey), SlotName(slot));
        if (path && !path->isEmpty())
            list.Add(*path);
    }
}

void RecentFileProfile::Save(platform::RegistryStore& registry, const platform::RecentFileList& list)
{
    for (qsizetype slot = 0; slot < platform::RecentFileList::Capacity; ++slot)
        registry.WriteString(Root::CurrentUser, QString::fromLatin1(SubKey), SlotName(slot), list.Entries().value(slot));
}
