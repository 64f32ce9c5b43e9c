#include "library/download/ui/LoadBox.h"
#include "platform/ui/ModalHost.h"
#include "tests/download/DownloadTestSupport.h"
#include "tests/download/LoopbackServer.h"

#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace downloadtest;

namespace {

class LoadBoxTest : public ::testing::Test {
protected:
    LoadBoxTest() : m_server(m_dir.filePath(QStringLiteral("tree")))
    {
        WriteFile(m_dir.filePath(QStringLiteral("tree/index.txt")), "index");
        g_requestManager = m_manager.get();
    }
    ~LoadBoxTest() override { g_requestManager = nullptr; }

    int32_t Add(const std::string& relative, const QString& name)
    {
        return m_manager->AddRequest(m_server.Address(relative), m_dir.filePath(name), RequestPriorityCatalog, false,
                                     false);
    }

    // Runs the dialog's own loop, pressing the key (if any) once the dialog is up; counts the runs.
    platform::ModalHost::Answerer Person(int key = 0)
    {
        return [this, key](QDialog& dialog) {
            ++m_runs;
            if (key != 0)
                QTimer::singleShot(0, &dialog, [&dialog, key] { QTest::keyClick(&dialog, static_cast<Qt::Key>(key)); });
            m_result = dialog.exec();
            m_lastBarValue = dialog.findChild<QProgressBar*>()->value();
            return m_result;
        };
    }

    QTemporaryDir m_dir;
    LoopbackServer m_server;
    std::unique_ptr<RequestManager> m_manager = std::make_unique<RequestManager>();
    int m_runs = 0;
    int m_result = -1;
    int m_lastBarValue = -1;
};

TEST_F(LoadBoxTest, FinishedRequestsReturnWithoutTheDialog)
{
    platform::ModalHost::ScopedAnswerer person(Person());
    LoadBox::WaitForRequest(RequestAlreadyCached);
    LoadBox::WaitForRequest(RequestQueueFull);
    const int32_t failed = Add("fault/404", QStringLiteral("f"));
    ASSERT_TRUE(TickUntil(*m_manager, [&] { return m_manager->Status(failed) == RequestFailed; }));
    LoadBox::WaitForRequest(failed);
    EXPECT_EQ(m_runs, 0);
}

TEST_F(LoadBoxTest, EndsWhenTheRequestIsDone)
{
    platform::ModalHost::ScopedAnswerer person(Person());
    const int32_t id = Add("index.txt", QStringLiteral("index.txt"));
    LoadBox::WaitForRequest(id);
    EXPECT_EQ(m_runs, 1);
    EXPECT_EQ(m_result, QDialog::Accepted);
    EXPECT_EQ(m_manager->Status(id), RequestDone);
    EXPECT_EQ(ReadFile(m_dir.filePath(QStringLiteral("index.txt"))), QByteArray("index"));
    EXPECT_EQ(m_lastBarValue, 0);  // the finished request is no longer listed
}

TEST_F(LoadBoxTest, EndsWhenTheRequestFails)
{
    platform::ModalHost::ScopedAnswerer person(Person());
    const int32_t id = Add("fault/500", QStringLiteral("index.txt"));
    LoadBox::WaitForRequest(id);
    EXPECT_EQ(m_runs, 1);
    EXPECT_EQ(m_result, QDialog::Accepted);
    EXPECT_EQ(m_manager->Status(id), RequestFailed);
}

TEST_F(LoadBoxTest, RegressionEndsWhenTheTargetCannotBeOpened)
{
    platform::ModalHost::ScopedAnswerer person(Person());
    const int32_t id = Add("index.txt", QStringLiteral("missing/index.txt"));
    LoadBox::WaitForRequest(id);
    EXPECT_EQ(m_runs, 1);
    EXPECT_EQ(m_manager->Status(id), RequestFailed);
}

TEST_F(LoadBoxTest, EscapeAndEnterEndItEarly)
{
    const int32_t id = Add("fault/stall-headers", QStringLiteral("slow.bin"));
    {
        platform::ModalHost::ScopedAnswerer person(Person(Qt::Key_Escape));
        LoadBox::WaitForRequest(id);
        EXPECT_EQ(m_result, QDialog::Rejected);
    }
    {
        platform::ModalHost::ScopedAnswerer person(Person(Qt::Key_Return));
        LoadBox::WaitForRequest(id);
        EXPECT_EQ(m_result, QDialog::Accepted);
    }
    EXPECT_EQ(m_runs, 2);
    EXPECT_LE(m_manager->Status(id), RequestRunning);
}

TEST_F(LoadBoxTest, ShowsThePercentOfTheRequest)
{
    const int32_t id = Add("fault/stall", QStringLiteral("big.bin"));
    platform::ModalHost::ScopedAnswerer person([&](QDialog& dialog) {
        auto* bar = dialog.findChild<QProgressBar*>();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
            if (bar->value() == 10)
                dialog.reject();
        });
        poll.start(10);
        QTimer::singleShot(std::chrono::milliseconds(PatienceLimit), &dialog, [&] { dialog.reject(); });
        dialog.exec();
        return bar->value();
    });
    LoadBox box(id);
    EXPECT_EQ(platform::ModalHost::Run(box), 10);
    EXPECT_EQ(m_manager->Status(id), RequestRunning);
}

TEST_F(LoadBoxTest, TextsLayoutAndTheBarOfANegativeAnswer)
{
    LoadBox box(RequestAlreadyCached);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Snapmingle"));
    const auto* label = box.findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Loading program files.  This should take only a moment."));
    EXPECT_EQ(label->geometry(), QRect(11, 11, 119, 47));
    QProgressBar* bar = box.ProgressBar();
    EXPECT_EQ(bar->objectName(), QStringLiteral("1022"));
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->geometry(), QRect(11, 55, 119, 23));
    EXPECT_EQ(box.size(), QSize(140, 89));
    EXPECT_FALSE(box.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(bar->value(), 0);
    box.OnTimer();
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(box.result(), QDialog::Accepted);

    LoadBox full(RequestQueueFull);
    full.OnTimer();
    EXPECT_EQ(full.ProgressBar()->value(), 0);
}

} // namespace
