#pragma once

#include "library/share/ShareMessage.h"

#include <QByteArray>
#include <QString>

// The body of the share post: a "multipart/form-data" form with the eleven fields the user fills
// (nameFrom, mailFrom, text, friend1 .. friend8; empty ones too), MAX_FILE_SIZE, the picture as
// "userfile" (image/pjpeg, named "shareImage.jpg") and Submit, every line ending in CR LF.
class ShareForm {
public:
    ShareForm(const ShareMessage& message, const QByteArray& picture);

    // "AzQ49z", or, when that text occurs in a field or in the picture, the first of "AzQ49z1",
    // "AzQ49z2", ... that occurs in none of them.
    const QByteArray& Boundary() const { return m_boundary; }
    // The request's header line: "Content-Type: multipart/form-data, boundary=" and the boundary.
    QByteArray ContentTypeHeader() const;
    const QByteArray& Body() const { return m_body; }

    // A single-line field's bytes: characters up to U+00FF as their ISO-8859-1 byte (the service reads
    // them so), others as "&#N;" with N the decimal code point; CR and LF are left out, so a pasted line
    // break cannot start a part of its own.
    static QByteArray EncodeText(const QString& text);

    static constexpr const char* DefaultBoundary = "AzQ49z";
    static constexpr const char* PictureFileName = "shareImage.jpg";
    static constexpr const char* MaxFileSize = "300000";

private:
    QByteArray m_boundary;
    QByteArray m_body;
};
