#include "engine/view/FileDialog.h"

#include "engine/document/PictureDialogLink.h"
#include "platform/ui/ModalHost.h"

#include <QFileInfo>
#include <QMessageBox>

namespace {

const QString PictureFilter = QStringLiteral("*.jpg");
const QString ReplaceText = QStringLiteral("%1 already exists.\nDo you want to replace it?");

} // namespace

FileDialog::FileDialog()
{
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilter(PictureFilter);
    // The overwrite question is asked for the name that will be written, not the one typed.
    setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
}

bool FileDialog::OnFileNameOK()
{
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty() || QFileInfo(chosen.first()).fileName().isEmpty())
        return false;
    if (QFileInfo(chosen.first()).isDir()) {
        setDirectory(chosen.first());  // a folder's name opens the folder, as the dialog always did
        return false;
    }
    const QString path = PictureFileName(chosen.first());
    if (QFileInfo::exists(path)) {
        QMessageBox question(QMessageBox::Warning, windowTitle(), ReplaceText.arg(QFileInfo(path).fileName()),
                             QMessageBox::Yes | QMessageBox::No);
        if (platform::ModalHost::Run(question) != QMessageBox::Yes)
            return false;
    }
    keptPath = path;
    return true;
}

void FileDialog::accept()
{
    if (OnFileNameOK())
        QDialog::accept();
}
