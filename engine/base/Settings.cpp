#include "engine/base/Settings.h"

#include "engine/base/AppPaths.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
const QString SystemSection = QStringLiteral("System");

QString ValueName(const QString& name, int index)
{
    return name + QString::number(index);
}
} // namespace

Settings::Settings(QString iniPath, QString registryPath)
    : m_ini(std::move(iniPath)), m_registry(std::move(registryPath))
{
}

Settings Settings::ForPaths(const AppPaths& paths)
{
    return Settings(paths.iniPath, platform::RegistryStore::DefaultFilePath());
}

uint32_t Settings::IsTutorialOff() const
{
    const QString name = QString::fromLatin1(TutorialOffName);
    uint32_t fromFile = m_ini.ReadUInt(SystemSection, name, 0xFFFFFFFFu);
    if (fromFile == 0xFFFFFFFFu)
        fromFile = 0;
    const uint32_t fromRegistry = static_cast<uint32_t>(
        ReadRegistryInt(QString::fromLatin1(ConfigKey), name, TutorialOffIndex).value_or(0));
    m_knownTutorialOff = std::max(fromFile, fromRegistry);
    return *m_knownTutorialOff;
}

uint32_t Settings::KnownTutorialOff() const
{
    return m_knownTutorialOff ? *m_knownTutorialOff : IsTutorialOff();
}

bool Settings::SetTutorialOff(int32_t value)
{
    const QString name = QString::fromLatin1(TutorialOffName);
    const bool registryWritten = WriteRegistryInt(QString::fromLatin1(ConfigKey), name, TutorialOffIndex, value);
    const bool fileWritten = WriteIniInt(name, value);
    IsTutorialOff();  // what the stores hold now, also when a write failed
    return registryWritten && fileWritten;
}

std::optional<int32_t> Settings::ReadRegistryInt(const QString& subKey, const QString& name, int index) const
{
    const auto text = ReadRegistryString(platform::RegistryStore::Root::CurrentUser, subKey, ValueName(name, index));
    if (!text)
        return std::nullopt;
    return static_cast<int32_t>(platform::ParseLeadingInt(*text));
}

bool Settings::WriteRegistryInt(const QString& subKey, const QString& name, int index, int32_t value)
{
    return WriteRegistryString(platform::RegistryStore::Root::CurrentUser, subKey, ValueName(name, index),
                               QString::number(value));
}

bool Settings::WriteIniInt(const QString& name, int32_t value)
{
    return m_ini.WriteString(SystemSection, name, QString::number(value));
}

std::optional<QString> Settings::ReadRegistryString(platform::RegistryStore::Root root, const QString& subKey,
                                                    const QString& valueName) const
{
    auto text = m_registry.ReadString(root, subKey, valueName);
    if (text) {
        // The data counts up to its terminator, as a wide string read from the registry does.
        const qsizetype terminator = text->indexOf(QChar(u'\0'));
        if (terminator >= 0)
            text->truncate(terminator);
    }
    return text;
}

bool Settings::WriteRegistryString(platform::RegistryStore::Root root, const QString& subKey,
                                   const QString& valueName, const QString& text)
{
    return m_registry.WriteString(root, subKey, valueName, text);
}

bool OpenUrlInBrowser(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}
