#include "platform/IniFile.h"

#include "platform/SaveFileCommit.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace platform {

namespace {

QStringList ReadLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

std::optional<QString> SectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return std::nullopt;
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<QString> KeyOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return std::nullopt;
    return trimmed.left(equals).trimmed();
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

uint32_t ParseLeadingInt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        value = value * 10u + static_cast<uint32_t>(text[i].unicode() - u'0');
    return negative ? 0u - value : value;
}

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

std::optional<QString> IniFile::ReadString(const QString& section, const QString& key) const
{
    bool inSection = false;
    for (const QString& line : ReadLines(m_path)) {
        if (const auto name = SectionName(line)) {
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        const auto lineKey = KeyOf(line);
        if (lineKey && SameName(*lineKey, key))
            return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    }
    return std::nullopt;
}

uint32_t IniFile::ReadUInt(const QString& section, const QString& key, uint32_t defaultValue) const
{
    const auto text = ReadString(section, key);
    return text ? ParseLeadingInt(*text) : defaultValue;
}

bool IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    QStringList lines = ReadLines(m_path);
    const QString entry = key + QLatin1Char('=') + value;
    qsizetype sectionStart = -1;
    qsizetype sectionEnd = -1;
    bool written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        if (const auto name = SectionName(lines[i])) {
            if (sectionStart >= 0 && sectionEnd < 0)
                sectionEnd = i;
            if (sectionStart < 0 && SameName(*name, section))
                sectionStart = i;
            continue;
        }
        if (sectionStart < 0 || sectionEnd >= 0)
            continue;
        const auto lineKey = KeyOf(lines[i]);
        if (lineKey && SameName(*lineKey, key)) {
            lines[i] = entry;
            written = true;
        }
    }
    if (!written) {
        if (sectionStart < 0) {
            lines << (QLatin1Char('[') + section + QLatin1Char(']')) << entry;
        } else {
            // After the section's last non-blank line, so a blank separator stays where it was.
            qsizetype insertAt = sectionEnd < 0 ? lines.size() : sectionEnd;
            while (insertAt > sectionStart + 1 && lines[insertAt - 1].trimmed().isEmpty())
                --insertAt;
            lines.insert(insertAt, entry);
        }
    }

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    QString error;
    return file.write(text) == text.size() && CommitSaveFile(file, error);
}

} // namespace platform
