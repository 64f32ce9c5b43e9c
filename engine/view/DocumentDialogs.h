#pragma once

#include "engine/document/DocumentDialogLink.h"

// Runs the document's three dialogs (InputBox, ColorBox, MailBox) through the modal host; installed as
// g_documentDialogs while it exists.
class DocumentDialogs final : public DocumentDialogLink {
public:
    DocumentDialogs();
    ~DocumentDialogs();
    DocumentDialogs(const DocumentDialogs&) = delete;
    DocumentDialogs& operator=(const DocumentDialogs&) = delete;

    QString EditText(Document& document, const QString& text) override;
    void AdjustColor(Document& document, Layer& layer) override;
    void SendPicture(Document& document) override;

private:
    DocumentDialogLink* m_saved;
};
