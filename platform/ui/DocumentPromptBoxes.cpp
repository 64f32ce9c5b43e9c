#include "platform/ui/DocumentPromptBoxes.h"

#include "platform/ui/FileDialogFolder.h"
#include "platform/ui/ModalHost.h"

#include <QFileDialog>
#include <QMessageBox>

namespace platform {

DocumentPrompts::Answer DocumentPromptBoxes::AskYesNoCancel(const QString& text)
{
    QMessageBox box(QMessageBox::Question, m_caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (ModalHost::Run(box)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

DocumentPrompts::Answer DocumentPromptBoxes::AskYesNo(const QString& text)
{
    QMessageBox box(QMessageBox::Question, m_caption, text, QMessageBox::Yes | QMessageBox::No);
    return ModalHost::Run(box) == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString DocumentPromptBoxes::AskSavePath(const QString& suggested, const QString& filter, const QString& extension)
{
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(extension.startsWith(QLatin1Char('.')) ? extension.mid(1) : extension);
    if (RunFileDialog(dialog, suggested) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void DocumentPromptBoxes::ReportFailure(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, m_caption, text, QMessageBox::Ok);
    ModalHost::Run(box);
}

} // namespace platform
