#include "engine/base/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    QString IniPath() const { return m_dir.filePath(QStringLiteral("SMG.ini")); }
    QString RegistryPath() const { return m_dir.filePath(QStringLiteral("registry.ini")); }
    Settings Make() const { return Settings(IniPath(), RegistryPath()); }

    void WriteIni(const QByteArray& text) const
    {
        QFile file(IniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void WriteRegistry(int value)
    {
        Settings settings = Make();
        ASSERT_TRUE(settings.WriteRegistryInt(QString::fromLatin1(Settings::ConfigKey),
                                              QStringLiteral("TutorialOff"), -1, value));
    }

    QTemporaryDir m_dir;
};

TEST_F(SettingsTest, TutorialOffMissingEverywhereReadsZero)
{
    EXPECT_EQ(Make().IsTutorialOff(), 0u);
}

TEST_F(SettingsTest, TutorialOffTakesTheLargerUnsignedOfBothStores)
{
    WriteIni("[System]\nTutorialOff=0\n");
    WriteRegistry(1);
    EXPECT_EQ(Make().IsTutorialOff(), 1u);
}

TEST_F(SettingsTest, TutorialOffFromTheFileAlone)
{
    WriteIni("[System]\nTutorialOff=1\n");
    EXPECT_EQ(Make().IsTutorialOff(), 1u);
    WriteIni("[System]\nTutorialOff=-1\n");
    EXPECT_EQ(Make().IsTutorialOff(), 0u);
}

TEST_F(SettingsTest, NegativeRegistryValueWins)
{
    WriteIni("[System]\nTutorialOff=7\n");
    WriteRegistry(-5);
    EXPECT_EQ(Make().IsTutorialOff(), 4294967291u);
}

TEST_F(SettingsTest, WritingGoesToBothStoresUnderTheirNames)
{
    Settings settings = Make();
    ASSERT_TRUE(settings.SetTutorialOff(1));
    EXPECT_EQ(settings.IsTutorialOff(), 1u);
    EXPECT_EQ(settings.ReadRegistryString(platform::RegistryStore::Root::CurrentUser,
                                          QStringLiteral("SOFTWARE\\Snapmingle2\\Config"),
                                          QStringLiteral("TutorialOff-1")),
              QStringLiteral("1"));
    QFile file(IniPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[System]\nTutorialOff=1\n"));
    ASSERT_TRUE(settings.SetTutorialOff(0));
    EXPECT_EQ(settings.IsTutorialOff(), 0u);
}

TEST_F(SettingsTest, RegistryIntegerParsing)
{
    Settings settings = Make();
    const QString key = QString::fromLatin1(Settings::ConfigKey);
    EXPECT_FALSE(settings.ReadRegistryInt(key, QStringLiteral("Missing"), 0).has_value());
    settings.WriteRegistryString(platform::RegistryStore::Root::CurrentUser, key, QStringLiteral("Text0"),
                                 QStringLiteral("abc"));
    EXPECT_EQ(settings.ReadRegistryInt(key, QStringLiteral("Text"), 0), 0);
    settings.WriteRegistryString(platform::RegistryStore::Root::CurrentUser, key, QStringLiteral("Num3"),
                                 QStringLiteral("-42xyz"));
    EXPECT_EQ(settings.ReadRegistryInt(key, QStringLiteral("Num"), 3), -42);
}

// Asked at every refresh of the Help menu, it reads no file: it answers what was last read or written.
TEST_F(SettingsTest, RegressionTheKnownTutorialOffReadsNoFile)
{
    Settings settings = Make();
    EXPECT_EQ(settings.KnownTutorialOff(), 0u);  // read once, when never read before
    WriteIni("[System]\nTutorialOff=1\n");      // behind the object's back
    EXPECT_EQ(settings.KnownTutorialOff(), 0u);
    EXPECT_EQ(settings.IsTutorialOff(), 1u);
    EXPECT_EQ(settings.KnownTutorialOff(), 1u);
    ASSERT_TRUE(settings.SetTutorialOff(0));  // a help tip's Continue with the box unticked
    EXPECT_EQ(settings.KnownTutorialOff(), 0u);
    WriteRegistry(-5);
    EXPECT_EQ(settings.KnownTutorialOff(), 0u);
    ASSERT_TRUE(settings.SetTutorialOff(1));
    EXPECT_EQ(settings.KnownTutorialOff(), 1u);
}

} // namespace
