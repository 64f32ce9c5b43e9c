#pragma once

#include "platform/IniFile.h"
#include "platform/RegistryStore.h"

#include <QString>
#include <cstdint>
#include <optional>

class AppPaths;

// Integer settings kept twice: in the settings file (section "System") and in the registry stand-in
// (value name = name + index). They are read as the larger of the two, compared as unsigned numbers.
class Settings {
public:
    Settings(QString iniPath, QString registryPath);
    static Settings ForPaths(const AppPaths& paths);

    static constexpr const char* ConfigKey = "SOFTWARE\\Snapmingle2\\Config";
    static constexpr const char* TutorialOffName = "TutorialOff";
    static constexpr int TutorialOffIndex = -1;

    // Non-zero when the help tips are switched off in either store; reads both stores.
    uint32_t IsTutorialOff() const;
    // The value IsTutorialOff answered last (read once when it never has), for a question asked over
    // and over, as the Help menu's check mark is: the stores are not read again. Every switch through
    // this object (SetTutorialOff) and every IsTutorialOff brings it up to date.
    uint32_t KnownTutorialOff() const;
    // Registry first, then the settings file, both with the same value; then reads them back.
    bool SetTutorialOff(int32_t value);

    std::optional<int32_t> ReadRegistryInt(const QString& subKey, const QString& name, int index) const;
    bool WriteRegistryInt(const QString& subKey, const QString& name, int index, int32_t value);
    bool WriteIniInt(const QString& name, int32_t value);
    std::optional<QString> ReadRegistryString(platform::RegistryStore::Root root, const QString& subKey,
                                              const QString& valueName) const;
    bool WriteRegistryString(platform::RegistryStore::Root root, const QString& subKey,
                             const QString& valueName, const QString& text);

private:
    platform::IniFile m_ini;
    platform::RegistryStore m_registry;
    mutable std::optional<uint32_t> m_knownTutorialOff;
};

// Opens a web page in the user's browser; false when nothing could open it.
bool OpenUrlInBrowser(const QString& url);
