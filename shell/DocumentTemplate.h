#pragma once

#include <QString>
#include <cstdint>

// The document template string (string 128): seven fields separated by new lines.
struct DocumentTemplate {
    QString windowTitle;     // "Snapmingle"
    QString documentName;    // empty: new documents are "Untitled"
    QString fileNewName;     // "Snapmingle"
    QString filterName;      // "Snapmingle Projects (*.smg)", the open and save dialogs' filter
    QString filterExtension; // ".smg"
    QString fileTypeId;      // "Snapmingle.Document"
    QString fileTypeName;    // "Snapmingle.Document"

    static DocumentTemplate FromString(const QString& text);
    // The program's template (string 128); all empty when the string table has none.
    static DocumentTemplate FromResource();
};
