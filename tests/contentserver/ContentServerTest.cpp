#include "support/TestFiles.h"
#include "tools/contentserver/ContentServer.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ContentServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(m_root.filePath(QStringLiteral("tree/Scenes/7.jpg")), QByteArray("\xFF\xD8jpeg", 6));
        WriteFile(m_root.filePath(QStringLiteral("tree/Bubbles/3.emf")), "emf");
        WriteFile(m_root.filePath(QStringLiteral("secret.txt")), "outside");
        ContentServer::Options options;
        options.root = m_root.filePath(QStringLiteral("tree"));
        options.outbox = m_root.filePath(QStringLiteral("outbox"));
        options.port = 0;
        m_server = std::make_unique<ContentServer>(options);
        ASSERT_GT(m_server->Start(), 0);
        m_client = std::make_unique<httplib::Client>("127.0.0.1", m_server->Port());
    }

    // The form exactly as the program posts it (its own boundary, a comma before "boundary=").
    std::string ShareBody(const std::string& mailFrom, const std::string& friend8) const
    {
        std::string body = "--AzQ49z\r\n";
        auto part = [&](const std::string& name, const std::string& value) {
            body += "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n--AzQ49z\r\n";
        };
        part("nameFrom", "Ann");
        part("mailFrom", mailFrom);
        part("text", "Look");
        for (int i = 1; i <= 7; ++i)
            part("friend" + std::to_string(i), "");
        part("friend8", friend8);
        part("MAX_FILE_SIZE", "300000");
        body += "Content-Disposition: form-data; name=\"userfile\"; filename=\"C:\\\\Prog\\\\shareImage.jpg\"\r\n"
                "Content-Type: image/pjpeg\r\n\r\n";
        body += std::string("\xFF\xD8pic\r\nture", 11);
        body += "\r\n--AzQ49z\r\nContent-Disposition: form-data; name=\"Submit\"\r\n\r\nSend\r\n--AzQ49z--\r\n";
        return body;
    }

    QTemporaryDir m_root;
    std::unique_ptr<ContentServer> m_server;
    std::unique_ptr<httplib::Client> m_client;
};

TEST_F(ContentServerTest, ServesTheTreeWithContentTypes)
{
    auto jpeg = m_client->Get("/Scenes/7.jpg");
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->status, 200);
    EXPECT_EQ(jpeg->body, std::string("\xFF\xD8jpeg", 6));
    EXPECT_EQ(jpeg->get_header_value("Content-Type"), "image/jpeg");
    auto emf = m_client->Get("/Bubbles/3.emf");
    ASSERT_TRUE(emf);
    EXPECT_EQ(emf->get_header_value("Content-Type"), "image/emf");
    auto missing = m_client->Get("/Scenes/8.jpg");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
}

TEST_F(ContentServerTest, RefusesPathsThatLeaveTheTree)
{
    for (const char* path : {"/../secret.txt", "/Scenes/../../secret.txt", "/%2e%2e/secret.txt"}) {
        auto result = m_client->Get(path);
        ASSERT_TRUE(result) << path;
        EXPECT_NE(result->status, 200) << path;
        EXPECT_EQ(result->body.find("outside"), std::string::npos) << path;
    }
}

TEST_F(ContentServerTest, StoresAPostedMessageWithEveryField)
{
    auto result = m_client->Post("/shareAction.php", ShareBody("ann@example.org", "bob@example.org"),
                                 "multipart/form-data, boundary=AzQ49z");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body, "0");
    const QString message = m_root.filePath(QStringLiteral("outbox/message-0001"));
    EXPECT_EQ(ReadFile(message + QStringLiteral("/fields.txt")),
              QByteArray("nameFrom=Ann\nmailFrom=ann@example.org\ntext=Look\nfriend1=\nfriend2=\nfriend3=\n"
                         "friend4=\nfriend5=\nfriend6=\nfriend7=\nfriend8=bob@example.org\nMAX_FILE_SIZE=300000\n"
                         "Submit=Send\nuserfile=C:\\\\Prog\\\\shareImage.jpg\n"));
    EXPECT_EQ(ReadFile(message + QStringLiteral("/shareImage.jpg")), QByteArray("\xFF\xD8pic\r\nture", 11));
}

TEST_F(ContentServerTest, MissingRequiredFieldIsNotAccepted)
{
    auto noSender = m_client->Post("/shareAction.php", ShareBody("", "bob@example.org"),
                                   "multipart/form-data, boundary=AzQ49z");
    ASSERT_TRUE(noSender);
    EXPECT_NE(noSender->body.substr(0, 1), "0");
    auto noFriend = m_client->Post("/shareAction.php", ShareBody("ann@example.org", ""),
                                   "multipart/form-data, boundary=AzQ49z");
    ASSERT_TRUE(noFriend);
    EXPECT_NE(noFriend->body.substr(0, 1), "0");
    EXPECT_FALSE(QDir(m_root.filePath(QStringLiteral("outbox/message-0001"))).exists());
}

TEST_F(ContentServerTest, ExtraRoutesAndBoundedRequests)
{
    ContentServer::Options options;
    options.root = m_root.filePath(QStringLiteral("tree"));
    options.port = 0;
    options.maxRequestBytes = 1000;
    ContentServer server(options);
    server.Http().Get("/fault/500", [](const httplib::Request&, httplib::Response& response) {
        response.status = 500;
    });
    ASSERT_GT(server.Start(), 0);
    httplib::Client client("127.0.0.1", server.Port());
    auto fault = client.Get("/fault/500");
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->status, 500);
    auto large = client.Post("/shareAction.php", std::string(5000, 'x'), "multipart/form-data, boundary=x");
    ASSERT_TRUE(large);
    EXPECT_EQ(large->status, 413);
    server.Stop();
}

// Two servers on one port would each get some of the requests.
TEST_F(ContentServerTest, RegressionSecondServerOnTheSamePortIsRefused)
{
    ContentServer::Options options;
    options.root = m_root.filePath(QStringLiteral("tree"));
    options.port = m_server->Port();
    ContentServer second(options);
    EXPECT_EQ(second.Start(), -1);
    auto result = m_client->Get("/Scenes/7.jpg");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
}

} // namespace
