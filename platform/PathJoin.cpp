#include "platform/PathJoin.h"

namespace platform {

QString WithTrailingSlash(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString JoinPath(const QString& folder, const QString& relative)
{
    if (folder.isEmpty())
        return relative;
    QString part = relative;
    while (part.startsWith(QLatin1Char('/')))
        part.remove(0, 1);
    return WithTrailingSlash(folder) + part;
}

} // namespace platform
