#pragma once

#include <QString>
#include <optional>

// The Save Picture dialog, which the widget layer runs modally (engine/view/SavePictureDialog). It
// installs itself as g_pictureDialog while it exists; without it Save Picture does nothing.
class PictureDialogLink {
public:
    // The path to write, always ending in ".jpg"; nothing when the person cancelled.
    virtual std::optional<QString> Run() = 0;

protected:
    ~PictureDialogLink() = default;
};

extern PictureDialogLink* g_pictureDialog;

// The name the dialog accepts for the file the person chose: the chosen folder, the file's name
// without its extension, and ".jpg", whatever extension was typed.
QString PictureFileName(const QString& chosen);
