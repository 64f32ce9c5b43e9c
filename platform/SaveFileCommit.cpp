#include "platform/SaveFileCommit.h"

#include <QSaveFile>

namespace platform {

bool CommitSaveFile(QSaveFile& file, QString& error)
{
    if (!file.flush()) {
        error = file.errorString();
        file.cancelWriting();
        file.commit();  // removes the temporary file; the old one is untouched
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform
