#include "engine/view/SavePictureDialog.h"

#include "engine/view/FileDialog.h"
#include "platform/ui/FileDialogFolder.h"

SavePictureDialog::SavePictureDialog() : m_saved(g_pictureDialog)
{
    g_pictureDialog = this;
}

SavePictureDialog::~SavePictureDialog()
{
    g_pictureDialog = m_saved;
}

std::optional<QString> SavePictureDialog::Run()
{
    FileDialog dialog;
    if (platform::RunFileDialog(dialog) != QDialog::Accepted || dialog.keptPath.isEmpty())
        return std::nullopt;
    return dialog.keptPath;
}
