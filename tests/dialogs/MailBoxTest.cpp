#include "DialogFixture.h"

#include "support/LayerPictures.h"
#include "support/TestFiles.h"

#include "engine/layers/LayerImage.h"
#include "library/share/ShareService.h"
#include "library/share/ui/MailBox.h"
#include "tools/contentserver/ContentServer.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>

namespace {

constexpr int SendId = 1;
constexpr int CancelId = 2;
constexpr int FriendId(int n) { return MailBox::FirstFriendId + n - 1; }

// A document with a picture, sending to the content server on a free loopback port, whose outbox keeps
// what it is sent.
class MailBoxTest : public DialogTest {
protected:
    MailBoxTest() : server(Options(folder.path()))
    {
        document.scene = PictureLayer(Filled(8, 6, qRgb(200, 40, 90)), LayerFlagsBackground);
        paths.Get().shareHost = QStringLiteral("127.0.0.1");
    }
    void Start()
    {
        ASSERT_GT(server.Start(), 0);
        paths.Get().sharePort = static_cast<uint16_t>(server.Port());
    }
    QStringList Outbox() const { return QDir(folder.filePath("outbox")).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }
    // The person fills in the sender's address and friend n.
    static void Fill(QDialog& dialog, int n)
    {
        QTest::keyClicks(Control(dialog, MailBox::FromId), "ann@example.org");
        QTest::keyClicks(Control(dialog, FriendId(n)), "bob@example.org");
    }

    QTemporaryDir folder;
    ContentServer server;
    const QString title = QStringLiteral("Snapmingle: ");

private:
    static ContentServer::Options Options(const QString& folder)
    {
        QDir().mkpath(folder + "/tree");
        return {folder + "/tree", folder + "/outbox", "127.0.0.1", 0};
    }
};

TEST_F(MailBoxTest, MissingAddressesAreToldAndNothingIsSent)
{
    Start();
    const std::tuple<QString, int, QString> cases[] = {
        // the sender, the friend filled in (0: none), the message
        {"", 0, MailBox::NoFriendText},
        {"ann@example.org", 0, MailBox::NoFriendText},
        {"", 8, MailBox::NoSenderText},
    };
    for (const auto& [from, n, message] : cases) {
        const Person person([&](QDialog& dialog) {
            QTest::keyClicks(Control(dialog, MailBox::FromId), from);
            if (n)
                QTest::keyClicks(Control(dialog, FriendId(n)), "bob@example.org");
            Click(dialog, SendId);
            EXPECT_TRUE(dialog.isVisible());
            Click(dialog, CancelId);
        });
        document.OnSend();
        EXPECT_EQ(person.told, QStringList{title + message});
    }
    EXPECT_TRUE(Outbox().isEmpty());
    EXPECT_FALSE(QFile::exists(ShareService::PicturePath()));
}

TEST_F(MailBoxTest, AFilledFormIsPostedOnceAndTheDialogCloses)
{
    Start();
    const Person person([&](QDialog& dialog) {
        QTest::keyClicks(Control(dialog, MailBox::NameId), "Ann");
        QTest::keyClicks(Control(dialog, MailBox::SubjectId), "Look");
        Fill(dialog, 2);
        QTest::keyClick(Control(dialog, FriendId(2)), Qt::Key_Return);  // Send, the default button
        EXPECT_FALSE(dialog.isVisible());
    });
    document.OnSend();
    EXPECT_TRUE(person.told.isEmpty());
    ASSERT_EQ(Outbox(), QStringList{"message-0001"});
    EXPECT_EQ(ReadFile(folder.filePath("outbox/message-0001/fields.txt")),
              QByteArray("nameFrom=Ann\nmailFrom=ann@example.org\ntext=Look\nfriend1=\nfriend2=bob@example.org\n"
                         "friend3=\nfriend4=\nfriend5=\nfriend6=\nfriend7=\nfriend8=\nMAX_FILE_SIZE=300000\n"
                         "Submit=Send\nuserfile=shareImage.jpg\n"));
}

TEST_F(MailBoxTest, AFailedPostIsToldAfterTheWaitCursorAndTheDialogCloses)
{
    std::atomic<int> cursorDuringPost{-1};
    server.Http().Post("/shareAction.php", [&](const httplib::Request&, httplib::Response& response) {
        // The user-interface thread set the cursor before it sent the post, and waits for the answer.
        const QCursor* cursor = QGuiApplication::overrideCursor();
        cursorDuringPost = cursor ? cursor->shape() : Qt::ArrowCursor;
        response.set_content("1 refused", "text/plain");
    });
    Start();
    for (const bool serving : {true, false}) {
        if (!serving)
            server.Stop();
        const Person person([&](QDialog& dialog) {
            Fill(dialog, 5);
            Click(dialog, SendId);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
        });
        document.OnSend();
        EXPECT_EQ(person.told, QStringList{title + MailBox::FailedText});
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(cursorDuringPost, Qt::WaitCursor);
}

TEST_F(MailBoxTest, TabRunsThroughTheTopFieldsFourFriendsTheButtonsAndTheOtherFour)
{
    const Person person([&](QDialog& dialog) {
        QApplication::setActiveWindow(&dialog);
        Control(dialog, MailBox::NameId)->setFocus();
        QStringList order;
        for (int i = 0; i < 14; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(order.join(' '), QStringLiteral("1023 1024 1025 1026 1027 1028 1029 1 2 1030 1031 1032 1033 1023"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    document.OnSend();
    EXPECT_EQ(person.dialogs, 1);
    EXPECT_TRUE(person.told.isEmpty());
}

} // namespace
