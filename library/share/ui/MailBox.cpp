#include "library/share/ui/MailBox.h"

#include "library/share/ShareService.h"
#include "platform/DialogTemplate.h"
#include "platform/ResourceId.h"
#include "platform/Resources.h"
#include "platform/ui/ModalHost.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

const QString MailBox::NoFriendText = QStringLiteral(
    "You must fill in at least one 'Friend email address' to whom you wish to send the picture.");
const QString MailBox::NoSenderText =
    QStringLiteral("You must fill in the 'Your email address' field, or the email will be bounced.");
const QString MailBox::FailedText = QStringLiteral(
    "Email was not successful.  You can save this image to your hard drive and attach it using your own email "
    "program.");

namespace {

constexpr int32_t SendId = platform::DialogOkId;  // Send accepts the form
constexpr int32_t FriendRows = ShareFriendCount / 2;
// Friends 1 to 4 come before the buttons in the tab order, 5 to 8 after them.
constexpr int32_t FriendsBeforeButtons = 4;

// The program's title (the window title of the document template), which heads its message boxes.
QString ApplicationTitle()
{
    const std::optional<QString> text = platform::Resources::String(platform::ResourceId::StringDocumentTemplate);
    return text ? text->section(QLatin1Char('\n'), 0, 0) : QString();
}

void AddEdit(platform::DialogTemplate& dialog, int32_t id, QRect rect)
{
    dialog.controls.push_back({id, platform::ControlKind::Edit, {}, rect, platform::ControlStyle::Border, 0});
}

// Dialog template 197. The controls are made in the tab order: the three top edits, friends 1 to 4,
// Send, Cancel, friends 5 to 8.
platform::DialogTemplate MailBoxTemplate()
{
    using platform::ControlKind;
    using platform::ControlStyle;
    constexpr int32_t none = platform::DialogControl::NoControlId;
    platform::DialogTemplate dialog{197, QStringLiteral("E-mail picture to your \"friends\""), {251, 174},
                                    QStringLiteral("MS Sans Serif"), 8, platform::DialogFrame::Modal, {}};
    dialog.controls = {
        {none, ControlKind::Static, QStringLiteral("Name:"), {58, 7, 36, 10}, {}, 0},
        {none, ControlKind::Static, QStringLiteral("From:"), {58, 27, 36, 10}, {}, 0},
        {none, ControlKind::Static, QStringLiteral("Subject:"), {57, 46, 36, 10}, {}, 0},
    };
    for (int32_t row = 0; row < FriendRows; ++row)
        for (const int32_t x : {8, 135})
            dialog.controls.push_back(
                {none, ControlKind::Static, QStringLiteral("To:"), {x, 72 + 18 * row, 12, 10}, ControlStyle::TextCentred, 0});
    AddEdit(dialog, MailBox::NameId, {96, 5, 92, 12});
    AddEdit(dialog, MailBox::FromId, {96, 25, 92, 12});
    AddEdit(dialog, MailBox::SubjectId, {96, 44, 92, 12});
    const auto addFriends = [&](int32_t first, int32_t last) {
        for (int32_t i = first; i < last; ++i)
            AddEdit(dialog, MailBox::FirstFriendId + i, {i % 2 == 0 ? 24 : 151, 70 + 18 * (i / 2), 92, 12});
    };
    addFriends(0, FriendsBeforeButtons);
    dialog.controls.push_back(
        {SendId, ControlKind::PushButton, QStringLiteral("Send"), {63, 151, 50, 14}, ControlStyle::DefaultButton, 0});
    dialog.controls.push_back({platform::DialogCancelId, ControlKind::PushButton, QStringLiteral("Cancel"), {136, 151, 50, 14}, {}, 0});
    addFriends(FriendsBeforeButtons, ShareFriendCount);
    return dialog;
}

// The system's wait cursor while it lives.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

MailBox::MailBox(Document& document, QWidget* parent)
    : QDialog(parent), m_document(document), m_controls(platform::DialogControls::Build(MailBoxTemplate(), *this))
{
    connect(m_controls.Get<QPushButton>(SendId), &QPushButton::clicked, this, &MailBox::OnSend);
    connect(m_controls.Get<QPushButton>(platform::DialogCancelId), &QPushButton::clicked, this, &MailBox::reject);
}

ShareMessage MailBox::Message() const
{
    const auto text = [this](int32_t id) { return m_controls.Get<QLineEdit>(id)->text(); };
    ShareMessage message;
    message.name = text(NameId);
    message.from = text(FromId);
    message.subject = text(SubjectId);
    for (int32_t i = 0; i < ShareFriendCount; ++i)
        message.friends[i] = text(FirstFriendId + i);
    return message;
}

void MailBox::OnSend()
{
    const ShareMessage message = Message();
    if (std::all_of(message.friends.begin(), message.friends.end(), [](const QString& f) { return f.isEmpty(); })) {
        Tell(NoFriendText);
        return;
    }
    if (message.from.isEmpty()) {
        Tell(NoSenderText);
        return;
    }
    bool sent = false;
    {
        const WaitCursor wait;
        sent = ShareService().SendPicture(m_document, message);
    }
    if (!sent)
        Tell(FailedText);
    QDialog::accept();
}

void MailBox::Tell(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, this);
    platform::ModalHost::Run(box);
}
