#include "platform/IniFile.h"
#include "platform/PathJoin.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::IniFile;

namespace {

TEST(IniFileTest, WritingKeepsOtherSectionsLinesAndComments)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SMG.ini"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("; settings\r\n[Window]\r\nWidth=800\r\n\r\n[SYSTEM]\r\nServerUrl=http://x/\r\ntutorialoff=0\r\n\r\n"
                   "[Last]\r\nA=1\r\n");
    }
    IniFile ini(path);
    ASSERT_TRUE(ini.WriteString(QStringLiteral("System"), QStringLiteral("TutorialOff"), QStringLiteral("1")));
    ASSERT_TRUE(ini.WriteString(QStringLiteral("system"), QStringLiteral("New"), QStringLiteral("x")));
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Added"), QStringLiteral("K"), QStringLiteral("v")));
    EXPECT_EQ(ReadFile(path), QByteArray("; settings\n[Window]\nWidth=800\n\n[SYSTEM]\nServerUrl=http://x/\n"
                                        "TutorialOff=1\nNew=x\n\n[Last]\nA=1\n[Added]\nK=v\n"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("system"), QStringLiteral("SERVERURL")), QStringLiteral("http://x/"));
    EXPECT_EQ(ini.ReadUInt(QStringLiteral("Window"), QStringLiteral("Width"), 0), 800u);
    EXPECT_EQ(ini.ReadUInt(QStringLiteral("Window"), QStringLiteral("Height"), 77), 77u);
    EXPECT_FALSE(ini.ReadString(QStringLiteral("Window"), QStringLiteral("A")).has_value());
}

TEST(IniFileTest, IntegerParsingFollowsTheProfileRule)
{
    EXPECT_EQ(platform::ParseLeadingInt(QStringLiteral("12abc")), 12u);
    EXPECT_EQ(platform::ParseLeadingInt(QStringLiteral("-1")), 0xFFFFFFFFu);
    EXPECT_EQ(platform::ParseLeadingInt(QStringLiteral("  +7")), 7u);
    EXPECT_EQ(platform::ParseLeadingInt(QStringLiteral("x1")), 0u);
}

TEST(IniFileTest, MissingFileIsCreatedOnWrite)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath(QStringLiteral("new.ini")));
    EXPECT_FALSE(ini.ReadString(QStringLiteral("System"), QStringLiteral("A")).has_value());
    ASSERT_TRUE(ini.WriteString(QStringLiteral("System"), QStringLiteral("A"), QStringLiteral("5")));
    EXPECT_EQ(ReadFile(ini.Path()), QByteArray("[System]\nA=5\n"));
}

TEST(PathJoinTest, OneSlashBetweenParts)
{
    EXPECT_EQ(platform::JoinPath(QStringLiteral("/a"), QStringLiteral("b")), QStringLiteral("/a/b"));
    EXPECT_EQ(platform::JoinPath(QStringLiteral("/a/"), QStringLiteral("/b/")), QStringLiteral("/a/b/"));
    EXPECT_EQ(platform::JoinPath(QString(), QStringLiteral("b")), QStringLiteral("b"));
    EXPECT_EQ(platform::WithTrailingSlash(QStringLiteral("/a")), QStringLiteral("/a/"));
}

} // namespace
