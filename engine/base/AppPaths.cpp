#include "engine/base/AppPaths.h"

#include "platform/IniFile.h"
#include "platform/PathJoin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

AppPaths* g_paths = nullptr;

namespace {

bool IsWritableFolder(const QString& folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

void MakeFolder(const QString& folder)
{
    QDir().mkdir(folder);  // failures, and folders that exist, are ignored
}

} // namespace

QString AppPaths::GetModulePath()
{
    static const QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                             : QFileInfo(QStringLiteral("/proc/self/exe"))
                                                                   .symLinkTarget();
    return path;
}

AppPaths AppPaths::ForThisProcess()
{
    QString programFolder = GetModulePath();
    const qsizetype slash = programFolder.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        programFolder.truncate(slash);

    QStringList candidates;
    // System-wide first (the data folders other than the user's own), then the user's.
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (folder != userData)
            candidates << folder;
    }
    candidates << userData;
    return AppPaths(programFolder, candidates);
}

AppPaths::AppPaths(const QString& programFolderPath, const QStringList& dataFolderCandidates)
{
    programFolder = platform::WithTrailingSlash(programFolderPath);
    for (const QString& candidate : dataFolderCandidates) {
        if (IsWritableFolder(candidate)) {
            dataFolder = platform::WithTrailingSlash(candidate);
            break;
        }
    }
    if (dataFolder.isEmpty())
        dataFolder = programFolder;

    resourceFolder = programFolder;
    cacheFolder = platform::JoinPath(dataFolder, QStringLiteral("Snapmingle2/Cache/"));
    iniPath = platform::JoinPath(programFolder, QStringLiteral("SMG.ini"));
    serverUrl = QString::fromLatin1(DefaultServerUrl);
    ReadServerSettings();
    CreateFolders();
}

void AppPaths::ReadServerSettings()
{
    const platform::IniFile ini(iniPath);
    const QString section = QStringLiteral("System");
    if (const auto url = ini.ReadString(section, QStringLiteral("ServerUrl")); url && !url->isEmpty())
        serverUrl = platform::WithTrailingSlash(*url);
    siteUrl = serverUrl;
    if (const auto url = ini.ReadString(section, QStringLiteral("SiteUrl")); url && !url->isEmpty())
        siteUrl = platform::WithTrailingSlash(*url);

    const QUrl server(serverUrl);
    shareHost = server.host();
    sharePort = static_cast<uint16_t>(server.port(80));
    if (const auto host = ini.ReadString(section, QStringLiteral("ShareHost")); host && !host->isEmpty())
        shareHost = *host;
    if (const auto port = ini.ReadString(section, QStringLiteral("SharePort")); port) {
        const uint32_t value = platform::ParseLeadingInt(*port);
        if (value > 0 && value < 65536)
            sharePort = static_cast<uint16_t>(value);
    }
}

void AppPaths::CreateFolders() const
{
    MakeFolder(dataFolder);
    MakeFolder(resourceFolder);
    MakeFolder(platform::JoinPath(dataFolder, QStringLiteral("Snapmingle2")));
    MakeFolder(cacheFolder);
    for (const char* subfolder : CacheSubfolders)
        MakeFolder(platform::JoinPath(cacheFolder, QString::fromLatin1(subfolder)));
}
