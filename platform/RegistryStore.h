#pragma once

#include <QString>
#include <optional>

namespace platform {

// The registry stand-in: string values under a root and a key path, kept in one QSettings file
// under the user's configuration folder (tests pass a file of their own).
class RegistryStore {
public:
    enum class Root { CurrentUser, ClassesRoot };

    explicit RegistryStore(QString filePath);

    // The registry stand-in of this user: <config>/Snapmingle2/registry.ini.
    static QString DefaultFilePath();

    const QString& FilePath() const { return m_filePath; }

    // An empty value name stands for the key's default value.
    std::optional<QString> ReadString(Root root, const QString& subKey, const QString& valueName) const;
    bool WriteString(Root root, const QString& subKey, const QString& valueName, const QString& text);

private:
    QString m_filePath;
};

} // namespace platform
