#pragma once

#include <QFileDialog>
#include <QString>

// The Save Picture dialog: a save dialog whose accepted name always ends in ".jpg". OnFileNameOK keeps
// the name (PictureFileName) and, when a file of that name exists, asks before it is replaced.
class FileDialog final : public QFileDialog {
public:
    FileDialog();

    // The chosen name made into the kept path; true when the dialog may close with it.
    bool OnFileNameOK();
    void accept() override;

    QString keptPath;
};
