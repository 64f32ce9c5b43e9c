#pragma once

#include <QString>

class QFileDialog;

namespace platform {

// The program's file dialogs share one starting folder: the folder of the last file chosen in any of
// them during this run, else the user's Pictures folder, else the home folder; never the process's
// working folder, which is wherever the program happened to be started from.
QString FileDialogFolder();

// Runs the dialog through the modal host, started in FileDialogFolder(). A suggested name without a
// folder is offered in that folder; one with a folder opens there. An accepted dialog's chosen file
// sets the folder for the next dialog. Returns the dialog's result code.
int RunFileDialog(QFileDialog& dialog, const QString& suggestedName = QString());

// Forgets the last folder chosen, as a new run of the program starts without one.
void ForgetFileDialogFolder();

} // namespace platform
