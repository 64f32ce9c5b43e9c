#include "support/LayerPictures.h"
#include "support/RecordingProxy.h"
#include "support/ScopedAppPaths.h"
#include "support/ScopedVariable.h"
#include "support/TestFiles.h"

#include "engine/document/Document.h"
#include "engine/layers/LayerImage.h"
#include "library/share/ShareService.h"
#include "tools/contentserver/ContentServer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

ContentServer::Options ServerOptions(const QString& root, const QString& outbox = {})
{
    QDir().mkpath(root);
    ContentServer::Options options;
    options.root = root;
    options.outbox = outbox;
    options.port = 0;
    return options;
}

// The content server on a free loopback port with a route on the share path, in front of the outbox:
// it records each post's headers and raw body and answers as told, or, stalled, only after a while.
class ShareServer {
public:
    explicit ShareServer(const QString& root) : m_server(ServerOptions(root))
    {
        // The library parses a form post into parts and keeps no raw bytes: relabelled before routing,
        // the post reaches the route with its body whole; the route puts the label back.
        m_server.Http().set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
            auto& headers = const_cast<httplib::Request&>(request).headers;
            const auto type = headers.find("Content-Type");
            if (type != headers.end())
                type->second = std::string(Relabel) + type->second;
            return httplib::Server::HandlerResponse::Unhandled;
        });
        m_server.Http().Post("/shareAction.php", [this](const httplib::Request& request, httplib::Response& response) {
            std::unique_lock guard(m_lock);
            Post& post = m_posts.emplace_back(Post{request.body, request.headers});
            post.headers.find("Content-Type")->second.erase(0, Relabel.size());
            if (stall)
                m_released.wait_for(guard, std::chrono::seconds(40), [this] { return m_ending; });
            response.status = status;
            response.set_content(answer, "text/plain");
        });
        m_server.Start();
    }
    ~ShareServer()
    {
        {
            std::lock_guard guard(m_lock);
            m_ending = true;
        }
        m_released.notify_all();
        m_server.Stop();
    }
    int Port() const { return m_server.Port(); }

    struct Post {
        std::string body;
        httplib::Headers headers;
    };
    std::vector<Post> Posts()
    {
        std::lock_guard guard(m_lock);
        return m_posts;
    }
    // Set by the test before a post.
    bool stall = false;
    int status = 200;
    std::string answer = "0";

private:
    static constexpr std::string_view Relabel = "application/octet-stream; was=";
    ContentServer m_server;
    std::mutex m_lock;
    std::condition_variable m_released;
    bool m_ending = false;
    std::vector<Post> m_posts;
};

ShareMessage Message()
{
    ShareMessage message;
    message.name = QStringLiteral("Ann");
    message.from = QStringLiteral("ann@example.org");
    message.subject = QStringLiteral("Look");
    message.friends[7] = QStringLiteral("bob@example.org");
    return message;
}

// The service on a share server; each test's picture goes to a temporary folder.
class ShareServiceTest : public ::testing::Test {
protected:
    ShareServiceTest()
    {
        paths.Get().shareHost = QStringLiteral("127.0.0.1");
        UsePort(server.Port());
    }

    void UsePort(int port) { paths.Get().sharePort = static_cast<uint16_t>(port); }
    QString PictureFile(const QByteArray& bytes, const QString& name = QStringLiteral("picture.jpg"))
    {
        WriteFile(folder.filePath(name), bytes);
        return folder.filePath(name);
    }
    // Each (status, answer) is answered to one post: accepted or not, and how much of the answer was read.
    struct Answer {
        int status;
        std::string answer;
        bool accepted;
        qsizetype read;
    };
    void ExpectAnswers(std::initializer_list<Answer> answers)
    {
        const QString picture = PictureFile("jpeg");
        for (const Answer& a : answers) {
            server.status = a.status;
            server.answer = a.answer;
            const ShareReply reply = ShareService().PostReply(picture, Message());
            EXPECT_EQ(reply.Accepted(), a.accepted) << a.status << " " << a.answer.substr(0, 20);
            EXPECT_EQ(reply.answer.size(), a.read) << a.status << " " << a.answer.substr(0, 20);
            EXPECT_EQ(ShareService().PostShare(picture, Message()), a.accepted) << a.status;
        }
    }

    ScopedAppPaths paths;
    QTemporaryDir folder;
    ShareServer server{folder.filePath("tree")};
    Document document;
};

} // namespace

// The full local path named the user's home folder, and a quote or line break in it broke the header:
// the picture is "shareImage.jpg" in a form that is the same, byte for byte, wherever the file lies.
TEST_F(ShareServiceTest, RegressionTheFormNamesThePictureByItsFullLocalPath)
{
    const QByteArray picture("\xFF\xD8pic\r\nture", 11);
    {
        // A loopback service is reached directly, whatever proxy the environment names.
        const ScopedVariable proxy("http_proxy", "http://127.0.0.1:9/");
        const ScopedVariable noProxy("no_proxy", "");
        const QString file = PictureFile(picture, QStringLiteral("my \"odd\"\nfolder/p.jpg"));
        EXPECT_TRUE(ShareService().PostShare(file, Message()));
    }
    const std::vector<ShareServer::Post> posts = server.Posts();
    ASSERT_EQ(posts.size(), 1u);
    std::string golden = "--AzQ49z\r\n";
    const char* const fields[][2] = {{"nameFrom", "Ann"}, {"mailFrom", "ann@example.org"}, {"text", "Look"},
                                     {"friend1", ""},     {"friend2", ""}, {"friend3", ""}, {"friend4", ""},
                                     {"friend5", ""},     {"friend6", ""}, {"friend7", ""},
                                     {"friend8", "bob@example.org"}, {"MAX_FILE_SIZE", "300000"}};
    for (const auto& [name, value] : fields)
        golden += std::string("Content-Disposition: form-data; name=\"") + name + "\"\r\n\r\n" + value + "\r\n--AzQ49z\r\n";
    golden += "Content-Disposition: form-data; name=\"userfile\"; filename=\"shareImage.jpg\"\r\n"
              "Content-Type: image/pjpeg\r\n\r\n" + picture.toStdString() + "\r\n--AzQ49z\r\n"
              "Content-Disposition: form-data; name=\"Submit\"\r\n\r\nSend\r\n--AzQ49z--\r\n";
    EXPECT_EQ(posts[0].body, golden);
    const httplib::Headers expected{{"Content-Type", "multipart/form-data, boundary=AzQ49z"},
                                    {"Accept", "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*"},
                                    {"User-Agent", "Microsoft Internet Explorer"},
                                    {"Referer", "http://127.0.0.1:" + std::to_string(server.Port()) + "/"},
                                    {"Content-Length", std::to_string(golden.size())}};
    for (const auto& [name, value] : expected) {
        const auto header = posts[0].headers.find(name);
        EXPECT_TRUE(header != posts[0].headers.end() && header->second == value) << name;
    }
    EXPECT_EQ(posts[0].headers.count("Expect"), 0u);
}

// The post turned the system's proxy off, so a service behind it could not be reached at all.
TEST_F(ShareServiceTest, RegressionThePostGoesThroughTheSystemProxyExceptToALoopbackHost)
{
    enum Way { Proxy, Server, Nowhere };  // who answers: nothing listens on 127.0.0.2 or ::1
    const struct {
        const char* host;
        Way way;
    } cases[] = {{"share.invalid", Proxy}, {"127.0.0.1", Server}, {"localhost", Server},
                 {"127.0.0.2", Nowhere}, {"::1", Nowhere}};
    const QString picture = PictureFile("jpeg");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        const RecordingProxy proxy;
        const ScopedVariable httpProxy("http_proxy", proxy.Address());
        const ScopedVariable noProxy("no_proxy", "");
        paths.Get().shareHost = QString::fromLatin1(c.host);
        const size_t postsBefore = server.Posts().size();
        EXPECT_EQ(ShareService().PostShare(picture, Message()), c.way != Nowhere);
        const std::string absolute = "POST http://" + std::string(c.host) + ':' + std::to_string(server.Port()) +
                                     "/shareAction.php";
        EXPECT_EQ(proxy.Requests(), c.way == Proxy ? std::vector<std::string>{absolute} : std::vector<std::string>{});
        EXPECT_EQ(server.Posts().size(), postsBefore + (c.way == Server ? 1 : 0));
    }
}

TEST_F(ShareServiceTest, TheAnswerDecides)
{
    ExpectAnswers({
        {200, "0", true, 1},
        {200, "1 missing mailFrom", false, 18},
        {200, "", false, 0},
        {200, "0" + std::string(9999, 'x'), true, ShareAnswerLimit},  // read up to 8192 bytes
        {500, "<html>Internal Server Error</html>", false, 34},
    });
    EXPECT_FALSE(ShareService().PostShare(folder.filePath("missing.jpg"), Message()));
    UsePort(ShareServer(folder.filePath("tree")).Port());  // a port nobody serves any more
    EXPECT_FALSE(ShareService().PostShare(PictureFile("jpeg"), Message()));
}

// An error page that happened to begin with "0" was taken for the service's success.
TEST_F(ShareServiceTest, RegressionAnErrorStatusWithAnAnswerOfZeroCountsAsSuccess)
{
    ExpectAnswers({{500, "0 error page", false, 12}, {404, "0 error page", false, 12},
                   {302, "0 error page", false, 12}});
}

// A service that took the post and never answered kept the program waiting for good.
TEST_F(ShareServiceTest, RegressionAStalledServiceHangsTheSend)
{
    server.stall = true;  // answers "0", but only after 40 s
    ShareTimings timings;
    timings.stallTimeout = std::chrono::milliseconds(300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ShareService(timings).PostShare(PictureFile("jpeg"), Message()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, ShareStallTimeout);
    EXPECT_EQ(server.Posts().size(), 1u);
}

// The save's result was ignored: the picture of an earlier send went out, and the send "succeeded".
TEST_F(ShareServiceTest, RegressionAStalePictureIsSentWhenTheSaveFails)
{
    WriteFile(ShareService::PicturePath(), "an earlier picture");
    EXPECT_FALSE(ShareService().SendPicture(document, Message()));  // no scene: nothing to save
    EXPECT_TRUE(server.Posts().empty());
    EXPECT_FALSE(QFile::exists(ShareService::PicturePath()));
}

// The program folder is read-only for a user on Linux: the picture goes to the user's data folder.
TEST_F(ShareServiceTest, RegressionThePictureIsWrittenToTheProgramFolder)
{
    ContentServer outbox(ServerOptions(folder.filePath("tree"), folder.filePath("outbox")));
    ASSERT_GT(outbox.Start(), 0);
    UsePort(outbox.Port());
    QImage pixels(8, 6, QImage::Format_ARGB32);
    pixels.fill(qRgb(200, 40, 90));
    document.scene = PaintLayerFrom(pixels, LayerFlagsBackground | LayerFlagPaint);
    document.scene->position = document.scene->centre;
    ShareMessage message = Message();
    message.name = QString::fromUtf8("Zo\u00e9 B\u0142");
    ASSERT_TRUE(ShareService().SendPicture(document, message));

    const QString picture = ShareService::PicturePath();
    EXPECT_EQ(picture, paths.Get().dataFolder + "Snapmingle2/shareImage.jpg");
    EXPECT_EQ(QImage(picture).size(), QSize(8, 6));
    EXPECT_FALSE(QFile::exists(paths.Get().programFolder + "shareImage.jpg"));
    // The message in the content server's outbox, picture byte for byte.
    const QString stored = folder.filePath("outbox/message-0001/");
    EXPECT_EQ(ReadFile(stored + "fields.txt"),
              QByteArray("nameFrom=Zo\xE9 B&#322;\nmailFrom=ann@example.org\ntext=Look\nfriend1=\nfriend2=\n"
                         "friend3=\nfriend4=\nfriend5=\nfriend6=\nfriend7=\nfriend8=bob@example.org\n"
                         "MAX_FILE_SIZE=300000\nSubmit=Send\nuserfile=shareImage.jpg\n"));
    EXPECT_EQ(ReadFile(stored + "shareImage.jpg"), ReadFile(picture));
}
