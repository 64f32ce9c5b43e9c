#pragma once

#include <QString>

namespace platform {

// What the document procedures ask of the person at the screen. The widget layer answers with modal
// dialogs (platform/ui/DocumentPromptBoxes); model code never opens one itself.
class DocumentPrompts {
public:
    enum class Answer { Yes, No, Cancel };

    // Yes, No or Cancel to a question such as "Save changes to %1?".
    virtual Answer AskYesNoCancel(const QString& text) = 0;
    // Yes or No to a question such as "Delete the layer \"%1\"?"; never Cancel.
    virtual Answer AskYesNo(const QString& text) = 0;
    // The save dialog: a path, or empty when the person cancelled. suggested is the initial file name.
    virtual QString AskSavePath(const QString& suggested, const QString& filter, const QString& extension) = 0;
    // A failure the person must learn of.
    virtual void ReportFailure(const QString& text) = 0;

protected:
    ~DocumentPrompts() = default;
};

} // namespace platform
