#include "tools/contentserver/ShareOutbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool HasValue(const ShareOutbox::Message& message, const std::string& name)
{
    const auto it = message.fields.find(name);
    return it != message.fields.end() && !it->second.empty();
}

bool WriteFile(const QString& path, const std::string& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        return false;
    return file.commit();
}

// The picture's name as a plain file name: the last component of a Windows or POSIX path.
QString SafeFileName(const std::string& original)
{
    QString name = QString::fromLatin1(original.data(), static_cast<qsizetype>(original.size()));
    name = name.mid(std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        name = QStringLiteral("picture.jpg");
    return name;
}

} // namespace

ShareOutbox::ShareOutbox(QString folder) : m_folder(std::move(folder)) {}

std::string ShareOutbox::Accept(const Message& message)
{
    if (!HasValue(message, "mailFrom"))
        return "1 missing mailFrom";
    bool anyFriend = false;
    for (int i = 1; i <= 8; ++i)
        anyFriend = anyFriend || HasValue(message, "friend" + std::to_string(i));
    if (!anyFriend)
        return "1 missing friend";
    if (message.pictureBytes.empty())
        return "1 missing userfile";

    std::lock_guard<std::mutex> lock(m_mutex);
    QDir outbox(m_folder);
    if (!outbox.mkpath(QStringLiteral(".")))
        return "2 outbox not writable";
    QString name;
    do {
        name = QStringLiteral("message-%1").arg(m_nextNumber++, 4, 10, QLatin1Char('0'));
    } while (outbox.exists(name));
    // Written under a temporary name and renamed, so a reader never sees half a message.
    const QString temporary = name + QStringLiteral(".part");
    if (!outbox.mkpath(temporary))
        return "2 outbox not writable";
    std::string fieldsText;
    for (const auto& [field, value] : message.orderedFields)
        fieldsText += field + "=" + value + "\n";
    fieldsText += "userfile=" + message.pictureFileName + "\n";
    const QString folder = outbox.filePath(temporary);
    if (!WriteFile(folder + QStringLiteral("/fields.txt"), fieldsText)
        || !WriteFile(folder + QLatin1Char('/') + SafeFileName(message.pictureFileName), message.pictureBytes)
        || !outbox.rename(temporary, name)) {
        QDir(folder).removeRecursively();
        return "2 could not store the message";
    }
    return "0";
}
