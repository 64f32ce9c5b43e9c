#include "support/TestFiles.h"

#include <httplib.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int Timeout = 10000;  // milliseconds; only a hung tool waits that long

class ContentServerToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(m_folder.filePath(QStringLiteral("tree/Scenes/7.jpg")), QByteArray("\xFF\xD8 seven", 8));
    }

    // Starts the tool and reads its first line; the port it printed, or 0.
    int Start(QProcess& process, const QStringList& arguments)
    {
        process.start(QStringLiteral(SMG_CONTENT_SERVER_TOOL), arguments);
        if (!process.waitForStarted(Timeout))
            return 0;
        while (!process.canReadLine() && process.waitForReadyRead(Timeout)) {
        }
        m_firstLine = QString::fromUtf8(process.readLine());
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^listening on http://127\\.0\\.0\\.1:(\\d+)/\n$")).match(m_firstLine);
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    }

    QStringList TreeArguments() const
    {
        return {QStringLiteral("--root"), m_folder.filePath(QStringLiteral("tree")), QStringLiteral("--port"),
                QStringLiteral("0"), QStringLiteral("--outbox"), m_folder.filePath(QStringLiteral("outbox"))};
    }

    static void ExpectServes(int port)
    {
        httplib::Client client("127.0.0.1", port);
        const auto response = client.Get("/Scenes/7.jpg");
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);
        EXPECT_EQ(response->body, std::string("\xFF\xD8 seven", 8));
    }

    static void ExpectCleanStop(QProcess& process)
    {
        ASSERT_TRUE(process.waitForFinished(Timeout));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    QTemporaryDir m_folder;
    QString m_firstLine;
};

TEST_F(ContentServerToolTest, PrintsItsAddressServesAndStopsOnTerminate)
{
    QProcess process;
    const int port = Start(process, TreeArguments());
    ASSERT_GT(port, 0) << m_firstLine.toStdString();
    ExpectServes(port);
    process.terminate();  // SIGTERM
    ExpectCleanStop(process);
    // The port is free again.
    httplib::Client client("127.0.0.1", port);
    EXPECT_FALSE(client.Get("/Scenes/7.jpg"));
}

TEST_F(ContentServerToolTest, StopsOnInterrupt)
{
    QProcess process;
    const int port = Start(process, TreeArguments());
    ASSERT_GT(port, 0);
    ExpectServes(port);
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGINT), 0);
    ExpectCleanStop(process);
}

// A shell starts a background job with SIGINT ignored; the tool must still stop on it.
TEST_F(ContentServerToolTest, RegressionInheritedIgnoredInterruptStillStops)
{
    QProcess process;
    process.setChildProcessModifier([] { ::signal(SIGINT, SIG_IGN); });
    const int port = Start(process, TreeArguments());
    ASSERT_GT(port, 0);
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGINT), 0);
    ExpectCleanStop(process);
}

TEST_F(ContentServerToolTest, StoresPostsInTheOutboxGiven)
{
    QProcess process;
    const int port = Start(process, TreeArguments());
    ASSERT_GT(port, 0);
    httplib::Client client("127.0.0.1", port);
    const httplib::MultipartFormDataItems form = {
        {"mailFrom", "ann@example.org", "", ""},
        {"friend1", "bob@example.org", "", ""},
        {"userfile", "\xFF\xD8pic", "shareImage.jpg", "image/pjpeg"},
    };
    const auto response = client.Post("/shareAction.php", form);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->body, "0");
    QFile picture(m_folder.filePath(QStringLiteral("outbox/message-0001/shareImage.jpg")));
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    EXPECT_EQ(picture.readAll(), QByteArray("\xFF\xD8pic"));
    process.terminate();
    ExpectCleanStop(process);
}

TEST_F(ContentServerToolTest, RefusesBadCommandLines)
{
    const QString tree = m_folder.filePath(QStringLiteral("tree"));
    const QStringList bad[] = {
        {},
        {QStringLiteral("--root")},
        {QStringLiteral("--root"), m_folder.filePath(QStringLiteral("missing"))},
        {QStringLiteral("--root"), tree, QStringLiteral("--port"), QStringLiteral("70000")},
        {QStringLiteral("--root"), tree, QStringLiteral("--port"), QStringLiteral("80x")},
        {QStringLiteral("--root"), tree, QStringLiteral("--verbose"), QStringLiteral("1")},
    };
    for (const QStringList& arguments : bad) {
        QProcess process;
        process.start(QStringLiteral(SMG_CONTENT_SERVER_TOOL), arguments);
        ASSERT_TRUE(process.waitForFinished(Timeout)) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(process.exitCode(), 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(process.readAllStandardError().contains("usage:"));
    }
}

TEST_F(ContentServerToolTest, ReportsAPortInUse)
{
    QProcess first;
    const int port = Start(first, TreeArguments());
    ASSERT_GT(port, 0);
    QProcess second;
    second.start(QStringLiteral(SMG_CONTENT_SERVER_TOOL),
                 {QStringLiteral("--root"), m_folder.filePath(QStringLiteral("tree")), QStringLiteral("--port"),
                  QString::number(port)});
    ASSERT_TRUE(second.waitForFinished(Timeout));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.readAllStandardError().contains(QByteArray::number(port)));
    first.terminate();
    ExpectCleanStop(first);
}

} // namespace
