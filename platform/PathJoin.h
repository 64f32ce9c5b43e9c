#pragma once

#include <QString>

namespace platform {

// The one way to build a path: joins a folder and a relative part with exactly one '/' between them.
// Paths are built with '/' only, also those that files written on Windows spell with '\'. An empty folder
// leaves the part.
QString JoinPath(const QString& folder, const QString& relative);

// The folder with a trailing '/', as every folder field of the program keeps it.
QString WithTrailingSlash(const QString& folder);

} // namespace platform
