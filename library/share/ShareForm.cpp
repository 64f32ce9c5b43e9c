#include "library/share/ShareForm.h"

#include <QList>

#include <utility>
#include <vector>

namespace {

constexpr char32_t LastLatin1 = 0xFF;
const QByteArray LineEnd("\r\n");

QByteArray ChooseBoundary(const std::vector<QByteArray>& contents)
{
    for (int suffix = 0;; ++suffix) {
        QByteArray candidate(ShareForm::DefaultBoundary);
        if (suffix > 0)
            candidate += QByteArray::number(suffix);
        bool occurs = false;
        for (const QByteArray& content : contents)
            occurs = occurs || content.contains(candidate);
        if (!occurs)
            return candidate;  // a finite content holds finitely many candidates: this ends
    }
}

QByteArray Disposition(const QByteArray& name)
{
    return "Content-Disposition: form-data; name=\"" + name + "\"";
}

} // namespace

QByteArray ShareForm::EncodeText(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    // toUcs4 joins surrogate pairs into one code point and turns a lone surrogate into U+FFFD.
    for (const char32_t c : text.toUcs4()) {
        if (c == U'\r' || c == U'\n')
            continue;
        if (c <= LastLatin1)
            bytes += static_cast<char>(c);
        else
            bytes += "&#" + QByteArray::number(static_cast<uint>(c)) + ';';
    }
    return bytes;
}

ShareForm::ShareForm(const ShareMessage& message, const QByteArray& picture)
{
    std::vector<std::pair<QByteArray, QByteArray>> fields{
        {"nameFrom", EncodeText(message.name)},
        {"mailFrom", EncodeText(message.from)},
        {"text", EncodeText(message.subject)},
    };
    for (int i = 0; i < ShareFriendCount; ++i)
        fields.emplace_back("friend" + QByteArray::number(i + 1), EncodeText(message.friends[i]));
    fields.emplace_back("MAX_FILE_SIZE", MaxFileSize);

    std::vector<QByteArray> contents{picture};
    for (const auto& field : fields)
        contents.push_back(field.second);
    m_boundary = ChooseBoundary(contents);

    const QByteArray boundaryLine = "--" + m_boundary + LineEnd;
    m_body = boundaryLine;
    for (const auto& [name, value] : fields)
        m_body += Disposition(name) + LineEnd + LineEnd + value + LineEnd + boundaryLine;
    m_body += Disposition("userfile") + "; filename=\"" + PictureFileName + "\"" + LineEnd;
    m_body += "Content-Type: image/pjpeg" + LineEnd + LineEnd;
    m_body += picture;
    m_body += LineEnd + boundaryLine;
    m_body += Disposition("Submit") + LineEnd + LineEnd + "Send" + LineEnd;
    m_body += "--" + m_boundary + "--" + LineEnd;
}

QByteArray ShareForm::ContentTypeHeader() const
{
    return "Content-Type: multipart/form-data, boundary=" + m_boundary;
}
