#include "platform/RegistryStore.h"

#include <QSettings>
#include <QStandardPaths>

namespace platform {

namespace {

QString KeyPath(RegistryStore::Root root, const QString& subKey, const QString& valueName)
{
    const QString rootName = root == RegistryStore::Root::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER")
                                                                      : QStringLiteral("HKEY_CLASSES_ROOT");
    QString key = subKey;
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString name = valueName.isEmpty() ? QStringLiteral("(Default)") : valueName;
    return rootName + QLatin1Char('/') + key + QLatin1Char('/') + name;
}

} // namespace

RegistryStore::RegistryStore(QString filePath) : m_filePath(std::move(filePath)) {}

QString RegistryStore::DefaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Snapmingle2/registry.ini");
}

std::optional<QString> RegistryStore::ReadString(Root root, const QString& subKey,
                                                 const QString& valueName) const
{
    QSettings store(m_filePath, QSettings::IniFormat);
    const QVariant value = store.value(KeyPath(root, subKey, valueName));
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

bool RegistryStore::WriteString(Root root, const QString& subKey, const QString& valueName,
                                const QString& text)
{
    QSettings store(m_filePath, QSettings::IniFormat);
    store.setValue(KeyPath(root, subKey, valueName), text);
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace platform
