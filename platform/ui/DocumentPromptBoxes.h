#pragma once

#include "platform/DocumentPrompts.h"

namespace platform {

// The document procedures' questions and reports as message boxes and the save dialog, each run
// through the modal host. caption heads the message boxes.
class DocumentPromptBoxes final : public DocumentPrompts {
public:
    explicit DocumentPromptBoxes(QString caption) : m_caption(std::move(caption)) {}

    Answer AskYesNoCancel(const QString& text) override;
    Answer AskYesNo(const QString& text) override;
    QString AskSavePath(const QString& suggested, const QString& filter, const QString& extension) override;
    void ReportFailure(const QString& text) override;

private:
    QString m_caption;
};

} // namespace platform
