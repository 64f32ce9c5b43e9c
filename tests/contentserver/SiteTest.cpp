// The program's web site as the content server serves it from the generated sample library: Visit
// Snapmingle Site opens the server's "/", Online Help its "help2.html".
#include "support/PageLinks.h"
#include "support/SampleLibrary.h"
#include "support/TestFiles.h"

#include <httplib.h>

#include <QImage>
#include <gtest/gtest.h>

namespace {

class SiteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_library = std::make_unique<SampleLibrary>(); }
    static void TearDownTestSuite() { s_library.reset(); }

    static httplib::Result Get(const std::string& path)
    {
        httplib::Client client("127.0.0.1", s_library->Server().Port());
        return client.Get(path);
    }

    static QByteArray InTree(const QString& relative) { return ReadFile(s_library->Tree() + u'/' + relative); }

    static inline std::unique_ptr<SampleLibrary> s_library;
};

TEST_F(SiteTest, TheHomeAndHelpPagesAreServedAsHtml)
{
    ASSERT_TRUE(s_library->Running());
    struct Page {
        std::string path;
        QString file;
    };
    for (const Page& page : {Page{"/", "index.html"}, Page{"/index.html", "index.html"},
                             Page{"/help2.html", "help2.html"}}) {
        const httplib::Result response = Get(page.path);
        ASSERT_TRUE(response) << page.path;
        EXPECT_EQ(response->status, 200) << page.path;
        EXPECT_EQ(response->get_header_value("Content-Type"), "text/html; charset=utf-8") << page.path;
        EXPECT_EQ(QByteArray::fromStdString(response->body), InTree(page.file)) << page.path;
    }
    const httplib::Result missing = Get("/help3.html");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
}

TEST_F(SiteTest, EveryPictureOfThePagesIsServedWithItsImageType)
{
    ASSERT_TRUE(s_library->Running());
    int pictures = 0;
    for (const QString& page : {QStringLiteral("index.html"), QStringLiteral("help2.html")}) {
        for (const QString& picture : PagePictures(InTree(page))) {
            const httplib::Result response = Get("/" + picture.toStdString());
            ASSERT_TRUE(response) << picture.toStdString();
            EXPECT_EQ(response->status, 200) << picture.toStdString();
            const std::string type = picture.endsWith(u".png") ? "image/png" : "image/jpeg";
            EXPECT_EQ(response->get_header_value("Content-Type"), type) << picture.toStdString();
            EXPECT_FALSE(QImage::fromData(QByteArray::fromStdString(response->body)).isNull()) << picture.toStdString();
            ++pictures;
        }
    }
    EXPECT_GE(pictures, 6);
}

} // namespace
