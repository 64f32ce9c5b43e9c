#include "platform/ui/FileDialogFolder.h"

#include "platform/ui/ModalHost.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

namespace {

QString& LastChosenFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString FileDialogFolder()
{
    // A folder removed since it was chosen is passed over, as a missing Pictures folder is.
    if (const QString& last = LastChosenFolder(); !last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

int RunFileDialog(QFileDialog& dialog, const QString& suggestedName)
{
    dialog.setDirectory(FileDialogFolder());
    if (!suggestedName.isEmpty())
        dialog.selectFile(suggestedName);
    const int result = ModalHost::Run(dialog);
    if (result == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        LastChosenFolder() = QFileInfo(dialog.selectedFiles().first()).absolutePath();
    return result;
}

void ForgetFileDialogFolder()
{
    LastChosenFolder().clear();
}

} // namespace platform
