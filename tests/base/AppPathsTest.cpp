#include "engine/base/AppPaths.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(AppPathsTest, FoldersAndTheCacheTree)
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("prog"));
    const QString data = root.filePath(QStringLiteral("data"));
    QDir().mkpath(program);
    const AppPaths paths(program, {data});
    EXPECT_EQ(paths.programFolder, program + QStringLiteral("/"));
    EXPECT_EQ(paths.resourceFolder, paths.programFolder);
    EXPECT_EQ(paths.iniPath, program + QStringLiteral("/SMG.ini"));
    EXPECT_EQ(paths.dataFolder, data + QStringLiteral("/"));
    EXPECT_EQ(paths.cacheFolder, data + QStringLiteral("/Snapmingle2/Cache/"));
    EXPECT_EQ(paths.serverUrl, QStringLiteral("http://127.0.0.1:8468/"));
    EXPECT_EQ(paths.shareHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(paths.sharePort, 8468);
    for (const char* sub : AppPaths::CacheSubfolders)
        EXPECT_TRUE(QFileInfo(paths.cacheFolder + QString::fromLatin1(sub)).isDir()) << sub;

    // Starting twice changes nothing and reports nothing.
    const AppPaths again(program, {data});
    EXPECT_EQ(again.cacheFolder, paths.cacheFolder);
}

TEST(AppPathsTest, RegressionUnwritableDataFolderFallsBackToTheNextCandidate)
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("prog"));
    QDir().mkpath(program);
    // A plain file where a folder should be can never be written into.
    const QString blocked = root.filePath(QStringLiteral("blocked"));
    WriteFile(blocked, "x");
    const QString user = root.filePath(QStringLiteral("user"));
    const AppPaths paths(program, {blocked + QStringLiteral("/sub"), user});
    EXPECT_EQ(paths.dataFolder, user + QStringLiteral("/"));

    const AppPaths programOnly(program, {blocked + QStringLiteral("/sub")});
    EXPECT_EQ(programOnly.cacheFolder, program + QStringLiteral("/Snapmingle2/Cache/"));
    EXPECT_TRUE(QFileInfo(programOnly.cacheFolder + QStringLiteral("Scenes")).isDir());
}

TEST(AppPathsTest, ServerAndShareFromTheSettingsFile)
{
    QTemporaryDir root;
    WriteFile(root.filePath(QStringLiteral("SMG.ini")),
              "[Other]\nServerUrl=http://wrong/\n[system]\nserverurl=http://127.0.0.1:9000/content\n"
              "SharePort=9001\n");
    const AppPaths paths(root.path(), {root.filePath(QStringLiteral("data"))});
    EXPECT_EQ(paths.serverUrl, QStringLiteral("http://127.0.0.1:9000/content/"));
    EXPECT_EQ(paths.shareHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(paths.sharePort, 9001);
    EXPECT_EQ(paths.siteUrl, paths.serverUrl);  // the site's pages are ours too unless the file says

    WriteFile(root.filePath(QStringLiteral("SMG.ini")), "[System]\nSiteUrl=http://127.0.0.1:9002/site\n");
    EXPECT_EQ(AppPaths(root.path(), {root.filePath(QStringLiteral("data"))}).siteUrl,
              QStringLiteral("http://127.0.0.1:9002/site/"));
}

} // namespace
