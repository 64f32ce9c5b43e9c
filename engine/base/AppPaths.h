#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// Where things are: the program folder with its resource files, the data folder that holds the
// content cache, the content server's base address and the settings file. Every folder ends in '/'.
class AppPaths {
public:
    // The folders of a real run: the executable's folder, and the first writable of the system-wide
    // data folders, the user's data folder (GenericDataLocation) and the program folder.
    static AppPaths ForThisProcess();

    // Explicit folders, so tests never touch the user's real ones. The data folder is the first
    // candidate that is writable (made if missing), else the program folder. Creates the cache tree
    // (failures ignored) and reads ServerUrl, ShareHost and SharePort from the settings file.
    AppPaths(const QString& programFolder, const QStringList& dataFolderCandidates);

    // The full path of the program file, computed once.
    static QString GetModulePath();

    QString dataFolder;
    QString programFolder;
    QString resourceFolder;
    QString cacheFolder;
    QString serverUrl;
    // The program's web site (Visit Snapmingle Site, Online Help): [System] SiteUrl, else the content
    // server's address.
    QString siteUrl;
    QString iniPath;
    // The sharing service's host and port (the content server's unless the settings file says).
    QString shareHost;
    uint16_t sharePort = 0;

    static constexpr const char* DefaultServerUrl = "http://127.0.0.1:8468/";
    static constexpr const char* CacheSubfolders[] = {"Accessories", "BGs",    "Bubbles", "Scenes",
                                                      "Thumbs",      "ThumbsA", "ThumbsB"};

private:
    void CreateFolders() const;
    void ReadServerSettings();
};

// Made once at start-up, never freed.
extern AppPaths* g_paths;
