#pragma once

#include <QString>
#include <optional>

namespace platform {

// Our own small reader and writer of the settings file ("SMG.ini"): sections in brackets, key=value
// lines, keys and sections compared without regard to case. Writing keeps every other section, line
// and comment as it was, and replaces the file only when the new text is completely on disk.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& Path() const { return m_path; }

    std::optional<QString> ReadString(const QString& section, const QString& key) const;
    // The profile rule for integers: an optional sign and leading decimal digits; no digits gives 0;
    // a missing key or file gives the default.
    uint32_t ReadUInt(const QString& section, const QString& key, uint32_t defaultValue) const;

    bool WriteString(const QString& section, const QString& key, const QString& value);

private:
    QString m_path;
};

// The decimal prefix of a text as the profile and registry readers take it: optional white space,
// an optional sign, then digits; wraps like a 32-bit unsigned accumulator.
uint32_t ParseLeadingInt(const QString& text);

} // namespace platform
