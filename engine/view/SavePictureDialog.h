#pragma once

#include "engine/document/PictureDialogLink.h"

// Runs the Save Picture dialog (FileDialog) through the modal host; installed as g_pictureDialog while
// it exists.
class SavePictureDialog final : public PictureDialogLink {
public:
    SavePictureDialog();
    ~SavePictureDialog();
    SavePictureDialog(const SavePictureDialog&) = delete;
    SavePictureDialog& operator=(const SavePictureDialog&) = delete;

    std::optional<QString> Run() override;

private:
    PictureDialogLink* m_saved;
};
