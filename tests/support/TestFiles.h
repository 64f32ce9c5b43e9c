#pragma once

#include <QByteArray>
#include <QString>

// What ReadFile answers for a file it cannot open: never the content a test expects, not even an empty file.
inline const QByteArray MissingFileBytes("<missing>");

// Writes bytes to path, making its folder first; a failed open or short write fails the test.
void WriteFile(const QString& path, const QByteArray& bytes);
// The file's bytes, or MissingFileBytes.
QByteArray ReadFile(const QString& path);

// Where the copied test pictures and metafiles are.
QString DataFile(const QString& name);
// A copied test file's bytes; a missing one fails the test and reads as empty.
QByteArray ReadDataFile(const QString& name);
