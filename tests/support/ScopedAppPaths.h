#pragma once

#include "engine/base/AppPaths.h"

#include <QTemporaryDir>
#include <memory>

// Program, data and cache folders in a temporary folder, installed as g_paths while it lives.
class ScopedAppPaths {
public:
    ScopedAppPaths()
        : m_paths(std::make_unique<AppPaths>(m_folder.filePath("program"), QStringList{m_folder.filePath("data")})),
          m_saved(g_paths)
    {
        g_paths = m_paths.get();
    }
    ~ScopedAppPaths() { g_paths = m_saved; }
    ScopedAppPaths(const ScopedAppPaths&) = delete;
    ScopedAppPaths& operator=(const ScopedAppPaths&) = delete;

    bool IsValid() const { return m_folder.isValid(); }
    AppPaths& Get() { return *m_paths; }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<AppPaths> m_paths;
    AppPaths* m_saved;
};
