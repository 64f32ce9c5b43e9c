#pragma once

#include <QString>

class QSaveFile;

namespace platform {

// Puts a QSaveFile's new contents in place of the old file, or leaves the old file whole and answers
// why not. QSaveFile::commit() alone does not notice when the last flush of its write buffer fails (a
// full disk): it would rename the cut-short temporary file over the old one and report success. The
// buffer is flushed and checked first; on failure the temporary file is removed.
bool CommitSaveFile(QSaveFile& file, QString& error);

} // namespace platform
