#pragma once

namespace platform {
class RecentFileList;
class RegistryStore;
} // namespace platform

// The recent-file list kept in the registry stand-in under the program's key "Snapmingle2", as
// "File1" (the most recent) to "File4"; slots without a file hold an empty text.
class RecentFileProfile {
public:
    static constexpr const char* SubKey = "Software\\Snapmingle2\\Snapmingle\\Recent File List";

    static void Load(const platform::RegistryStore& registry, platform::RecentFileList& list);
    static void Save(platform::RegistryStore& registry, const platform::RecentFileList& list);
};
