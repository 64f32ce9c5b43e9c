#pragma once

#include <QString>

class Document;
class Layer;

// The three modal dialogs that the document's commands open: Edit Text, Adjust Color and the e-mail
// dialog. They are widgets, which the document cannot include; the widget layer installs the real ones
// (engine/view/DocumentDialogs) as g_documentDialogs while it exists. Without it the commands do nothing.
class DocumentDialogLink {
public:
    // Runs Edit Text with the text of the selected layer and answers the dialog's text when it closes,
    // whatever the button: the initial text, the text last applied or fetched by OK. Each Apply has
    // already journaled its text on the document.
    virtual QString EditText(Document& document, const QString& text) = 0;
    // Runs Adjust Color on the selected layer; the dialog journals or undoes its change itself.
    virtual void AdjustColor(Document& document, Layer& layer) = 0;
    // Runs the e-mail dialog that sends the document's picture.
    virtual void SendPicture(Document& document) = 0;

protected:
    ~DocumentDialogLink() = default;
};

extern DocumentDialogLink* g_documentDialogs;
