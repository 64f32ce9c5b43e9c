#pragma once

#include "library/share/ShareMessage.h"
#include "platform/ui/DialogControls.h"

#include <QDialog>
#include <QString>
#include <cstdint>

class Document;

// The modal e-mail dialog (template 197) that sends the finished picture to up to eight friends through
// the sharing web service. Send checks the fields (a friend's address, then the sender's) and leaves the
// dialog open with a message when one is missing; otherwise it posts the picture under the wait cursor
// (ShareService::SendPicture), tells of a failure, and closes whatever the outcome. Cancel sends nothing.
class MailBox final : public QDialog {
public:
    explicit MailBox(Document& document, QWidget* parent = nullptr);

    void OnSend();
    // Send, also by Enter.
    void accept() override { OnSend(); }

    // The fields as the person filled them in.
    ShareMessage Message() const;

    static constexpr int32_t NameId = 1023;
    static constexpr int32_t FromId = 1024;
    static constexpr int32_t SubjectId = 1025;
    static constexpr int32_t FirstFriendId = 1026;  // friends 1 to 8 are 1026 to 1033

    static const QString NoFriendText;
    static const QString NoSenderText;
    static const QString FailedText;

private:
    // A message box with OK, captioned with the program's title.
    void Tell(const QString& text);

    Document& m_document;
    platform::DialogControls m_controls;
};
