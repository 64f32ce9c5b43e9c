#include "DialogFixture.h"

#include "support/LayerPictures.h"
#include "support/TestFiles.h"

#include "engine/layers/LayerImage.h"
#include "library/share/ShareService.h"
#include "library/share/ui/MailBox.h"
#include "tools/contentserver/ContentServer.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>

namespace {

constexpr int SendId = 1;
constexpr int CancelId = 2;

// The content server on a free loopback port, storing what it is sent in an outbox.
class OutboxServer {
public:
    explicit OutboxServer(const QString& folder) : m_folder(folder), m_server(Options(folder)) {}

    ContentServer& Server() { return m_server; }
    int Start() { return m_server.Start(); }
    // The messages stored so far.
    QStringList Messages() const { return QDir(m_folder + "/outbox").entryList(QDir::Dirs | QDir::NoDotAndDotDot); }
    QByteArray Fields(const QString& message) const { return ReadFile(m_folder + "/outbox/" + message + "/fields.txt"); }

private:
    static ContentServer::Options Options(const QString& folder)
    {
        QDir().mkpath(folder + "/tree");
        ContentServer::Options options;
        options.root = folder + "/tree";
        options.outbox = folder + "/outbox";
        options.port = 0;
        return options;
    }

    QString m_folder;
    ContentServer m_server;
};

class MailBoxTest : public DialogTest {
protected:
    MailBoxTest()
    {
        document.scene = PictureLayer(Filled(8, 6, qRgb(200, 40, 90)), LayerFlagsBackground);
        paths.Get().shareHost = QStringLiteral("127.0.0.1");
    }
    void UsePort(int port) { paths.Get().sharePort = static_cast<uint16_t>(port); }

    // The person types text into the field with the control id.
    static void Type(QDialog& dialog, int id, const QString& text) { QTest::keyClicks(Control(dialog, id), text); }

    QString Told(const QString& text) const { return QStringLiteral("Snapmingle: ") + text; }

    QTemporaryDir folder;
    OutboxServer server{folder.path()};
};

TEST_F(MailBoxTest, MissingAddressesAreToldAndNothingIsSent)
{
    struct Case {
        const char* what;
        QString from;
        int friendId;  // 0: none
        QString message;
    };
    const Case cases[] = {
        {"nothing at all", QString(), 0, MailBox::NoFriendText},
        {"a sender, no friend", QStringLiteral("ann@example.org"), 0, MailBox::NoFriendText},
        {"friend 8, no sender", QString(), MailBox::FirstFriendId + 7, MailBox::NoSenderText},
    };
    ASSERT_GT(server.Start(), 0);
    UsePort(server.Server().Port());
    for (const Case& c : cases) {
        Person person([&](QDialog& dialog) {
            Type(dialog, MailBox::FromId, c.from);
            if (c.friendId)
                Type(dialog, c.friendId, QStringLiteral("bob@example.org"));
            Click(dialog, SendId);
            EXPECT_TRUE(dialog.isVisible()) << c.what;
            Click(dialog, CancelId);
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
        });
        document.OnSend();
        EXPECT_EQ(person.told, QStringList{Told(c.message)}) << c.what;
    }
    EXPECT_TRUE(server.Messages().isEmpty());
    EXPECT_FALSE(QFile::exists(ShareService::PicturePath()));
}

TEST_F(MailBoxTest, AFilledFormIsPostedOnceAndTheDialogCloses)
{
    ASSERT_GT(server.Start(), 0);
    UsePort(server.Server().Port());
    const Person person([&](QDialog& dialog) {
        Type(dialog, MailBox::NameId, QStringLiteral("Ann"));
        Type(dialog, MailBox::FromId, QStringLiteral("ann@example.org"));
        Type(dialog, MailBox::SubjectId, QStringLiteral("Look"));
        Type(dialog, MailBox::FirstFriendId + 1, QStringLiteral("bob@example.org"));
        QTest::keyClick(Control(dialog, MailBox::FirstFriendId + 1), Qt::Key_Return);  // the default button
        EXPECT_FALSE(dialog.isVisible());
    });
    document.OnSend();
    EXPECT_TRUE(person.told.isEmpty());
    ASSERT_EQ(server.Messages(), QStringList{"message-0001"});
    EXPECT_EQ(server.Fields("message-0001"),
              QByteArray("nameFrom=Ann\nmailFrom=ann@example.org\ntext=Look\nfriend1=\nfriend2=bob@example.org\n"
                         "friend3=\nfriend4=\nfriend5=\nfriend6=\nfriend7=\nfriend8=\nMAX_FILE_SIZE=300000\n"
                         "Submit=Send\nuserfile=shareImage.jpg\n"));
    EXPECT_EQ(QImage(ShareService::PicturePath()).size(), QSize(8, 6));
}

TEST_F(MailBoxTest, AFailedPostIsToldUnderNoWaitCursorAndTheDialogCloses)
{
    std::atomic<int> cursorDuringPost{-1};
    server.Server().Http().Post("/shareAction.php", [&](const httplib::Request&, httplib::Response& response) {
        // The user-interface thread waits in the post; it set the cursor before sending.
        const QCursor* cursor = QGuiApplication::overrideCursor();
        cursorDuringPost = cursor ? cursor->shape() : Qt::ArrowCursor;
        response.set_content("1 refused", "text/plain");
    });
    ASSERT_GT(server.Start(), 0);
    UsePort(server.Server().Port());
    const Person person([&](QDialog& dialog) {
        Type(dialog, MailBox::FromId, QStringLiteral("ann@example.org"));
        Type(dialog, MailBox::FirstFriendId + 4, QStringLiteral("bob@example.org"));
        Click(dialog, SendId);
    });
    document.OnSend();
    EXPECT_EQ(cursorDuringPost, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(person.told, QStringList{Told(MailBox::FailedText)});

    // Nobody listens any more: the same message, and the dialog closes all the same.
    server.Server().Stop();
    Person again([&](QDialog& dialog) {
        Type(dialog, MailBox::FromId, QStringLiteral("ann@example.org"));
        Type(dialog, MailBox::FirstFriendId, QStringLiteral("bob@example.org"));
        Click(dialog, SendId);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    document.OnSend();
    EXPECT_EQ(again.told, QStringList{Told(MailBox::FailedText)});
}

TEST_F(MailBoxTest, TheTemplateAndItsTabOrder)
{
    const Person person([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("E-mail picture to your \"friends\""));
        EXPECT_EQ(dialog.size(), QSize(377, 283));
        EXPECT_EQ(Control(dialog, MailBox::FirstFriendId + 7)->geometry(), QRect(227, 202, 138, 20));
        EXPECT_EQ(Control(dialog, SendId)->geometry(), QRect(95, 245, 75, 23));
        CheckLayout(dialog, "e-mail");

        // Tab from the name field all the way round.
        QApplication::setActiveWindow(&dialog);
        Control(dialog, MailBox::NameId)->setFocus();
        QStringList order;
        for (int i = 0; i < 13; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(order, (QStringList{"1023", "1024", "1025", "1026", "1027", "1028", "1029", "1", "2", "1030",
                                      "1031", "1032", "1033"}));
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("1023"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    });
    document.OnSend();
    EXPECT_EQ(person.dialogs, 1);
}

} // namespace
