#include "ShellTestSupport.h"

#include "engine/base/AppPaths.h"
#include "engine/document/CommandId.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "library/download/RequestManager.h"
#include "library/download/ui/LoadBox.h"
#include "platform/ui/CommandRouter.h"
#include "shell/AboutBox.h"
#include "shell/Application.h"
#include "shell/LayerView.h"
#include "shell/RecentFileProfile.h"
#include "shell/StepBar.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"
#include "tools/contentserver/ContentServer.h"

#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace {

const QStringList IndexNames{"EncList.txt", "ThumbsA.txt", "ThumbsB.txt"};

// The content server with the three index files, of which some may be missing (404) or stall after
// their first bytes until the server goes.
class IndexServer {
public:
    IndexServer(const QString& root, const QStringList& missing = {}, const QString& stalled = {})
        : m_server([&] {
              QDir().mkpath(root);  // the tree is mounted only when its folder exists
              return ContentServer::Options{root, {}, "127.0.0.1", 0};
          }())
    {
        for (const QString& name : IndexNames) {
            if (!missing.contains(name) && name != stalled)
                WriteFile(root + "/" + name, ("fresh " + name).toLatin1());
        }
        if (!stalled.isEmpty()) {
            m_server.Http().Get("/" + stalled.toStdString(), [this](const httplib::Request&, httplib::Response& response) {
                response.set_content_provider(1000, "text/plain", [this](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset == 0)
                        return sink.write(std::string(100, 's').data(), 100);
                    std::unique_lock guard(m_lock);
                    m_changed.wait(guard, [this] { return m_released; });
                    return false;
                });
            });
        }
        EXPECT_GT(m_server.Start(), 0);
    }
    ~IndexServer()
    {
        {
            std::lock_guard guard(m_lock);
            m_released = true;
        }
        m_changed.notify_all();
        m_server.Stop();
    }
    QString BaseUrl() const { return QString::fromStdString(m_server.BaseUrl()); }

private:
    ContentServer m_server;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_released = false;
};

// As much of the main window as start-up needs: the step bar and the layers panel, which shows the
// start prompt of a new project.
class TestFrame final : public QMainWindow {
public:
    explicit TestFrame(Application& application)
        : stepBar(new StepBar(application.GetSettings())), layers(new LayerView(*g_document, application.GetSettings()))
    {
        setStatusBar(stepBar);
        setCentralWidget(layers);
    }
    StepBar* stepBar;
    LayerView* layers;
};

class TestApplication final : public Application {
public:
    using Application::Application;
    ~TestApplication() override { frame.reset(); }

    bool CreateMainWindow() override
    {
        ++created;
        if (!createWorks)
            return false;
        frame = std::make_unique<TestFrame>(*this);
        return true;
    }
    void ShowMainWindow() override
    {
        frame->resize(800, 600);
        frame->show();
    }

    int created = 0;
    bool createWorks = true;
    std::unique_ptr<TestFrame> frame;
};

class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest()
    {
        person.otherDialogs = [this](QDialog& dialog) {
            if (dynamic_cast<LoadBox*>(&dialog)) {
                ++progressDialogs;
                if (escapeProgress)
                    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
                return dialog.exec();  // for real: its timer runs the queue
            }
            return otherDialogs ? otherDialogs(dialog) : static_cast<int>(QDialog::Rejected);
        };
    }

    QString Program() const { return m_dir.filePath("program"); }
    QString Cache() const { return m_dir.filePath("data/Snapmingle2/Cache/"); }

    std::unique_ptr<TestApplication> Make(const IndexServer& server, const QStringList& arguments = {})
    {
        WriteFile(Program() + "/SMG.ini", ("[System]\nServerUrl=" + server.BaseUrl() + "\n").toLatin1());
        Application::Options options;
        options.arguments = arguments;
        options.makePaths = [this] { return AppPaths(Program(), {m_dir.filePath("data")}); };
        options.registryPath = m_dir.filePath("registry.ini");
        return std::make_unique<TestApplication>(std::move(options));
    }
    void FillCache()
    {
        for (const QString& name : IndexNames)
            WriteFile(Cache() + name, "cached " + name.toLatin1());
    }

    QTemporaryDir m_dir;
    ModalPerson person;
    int progressDialogs = 0;
    bool escapeProgress = false;
    std::function<int(QDialog&)> otherDialogs;
};

// With the index files cached the program starts at once and refreshes them in the background (to
// temporary names: see RegressionAMissingIndexArrivesUnderATemporaryName); without them it waits in a
// progress dialog for each and asks for no refresh of what it has just fetched. Either way a new project
// shows with its start prompt (the whole window: MainFrameTest).
TEST_F(ApplicationTest, TheIndexFilesComeFreshInAProgressDialogEachOnlyWhenNotCached)
{
    IndexServer server(m_dir.filePath("tree"));
    for (const bool cached : {true, false}) {
        SCOPED_TRACE(cached ? "cached" : "not cached");
        QDir(Cache()).removeRecursively();
        if (cached)
            FillCache();
        progressDialogs = 0;
        person.shown.clear();
        auto application = Make(server);
        ASSERT_TRUE(application->InitInstance());
        EXPECT_EQ(progressDialogs, cached ? 0 : 3);
        for (const Request& request : g_requestManager->requests) {
            if (!cached)
                EXPECT_FALSE(request.url.startsWith(server.BaseUrl())) << request.url.toStdString();
        }
        EXPECT_TRUE(WaitUntil([&] {
            RunTaskList();
            return std::all_of(IndexNames.begin(), IndexNames.end(), [&](const QString& name) {
                return ReadFile(Cache() + name) == "fresh " + name.toLatin1();
            });
        }));
        EXPECT_FALSE(QFile::exists(Cache() + "EncList.txt_"));
        EXPECT_EQ(application->created, 1);
        EXPECT_TRUE(application->frame->isVisible());
        EXPECT_EQ(person.shown, (QStringList{"Help Tip: tip 1", "Help Tip: tip 2"}));
        EXPECT_EQ(application->ExitInstance(), 0);
    }
}

TEST_F(ApplicationTest, RegressionAFailedIndexSaysWhyOnStandardError)
{
    IndexServer server(m_dir.filePath("tree"), {"ThumbsA.txt"});
    platform::RegistryStore registry(m_dir.filePath("registry.ini"));
    registry.WriteString(platform::RegistryStore::Root::CurrentUser, RecentFileProfile::SubKey, "File1", "/a.smg");
    auto application = Make(server);
    testing::internal::CaptureStderr();
    EXPECT_EQ(application->Run(), Application::StartFailedExitCode);
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_EQ(progressDialogs, 3);  // all three asked and waited for
    EXPECT_EQ(application->created, 0);
    EXPECT_EQ(g_document, nullptr);
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    EXPECT_NE(error.find("ThumbsA.txt could not be downloaded from " + server.BaseUrl().toStdString() + "ThumbsA.txt"),
              std::string::npos)
        << error;
    EXPECT_TRUE(QFile::exists(Cache() + "ThumbsB.txt"));
    EXPECT_EQ(registry.ReadString(platform::RegistryStore::Root::CurrentUser, RecentFileProfile::SubKey, "File1"),
              QStringLiteral("/a.smg"));  // the recent files outlive a failed start
}

TEST_F(ApplicationTest, RegressionAMissingIndexArrivesUnderATemporaryName)
{
    IndexServer server(m_dir.filePath("tree"), {}, "EncList.txt");
    escapeProgress = true;  // the person ends the first dialog while the file is still coming
    auto application = Make(server);
    ASSERT_TRUE(application->InitInstance());
    const int32_t id = application->m_catalogRequests[0];
    ASSERT_TRUE(WaitUntil([&] {
        RunTaskList();
        return QFile(Cache() + "EncList.txt_").size() == 100;
    }));
    EXPECT_FALSE(QFile::exists(Cache() + "EncList.txt"));  // nobody can read half an index
    EXPECT_TRUE(g_requestManager->FindRequest(id)->tempName);

    // RegressionShutdownStopsTheDownloadWorkers: the stalled download is aborted and its part removed.
    EXPECT_EQ(application->ExitInstance(), 0);
    EXPECT_FALSE(QFile::exists(Cache() + "EncList.txt_"));
    EXPECT_EQ(g_requestManager->Status(id), RequestFailed);
    EXPECT_TRUE(g_requestManager->requests.empty());
}

TEST_F(ApplicationTest, TheCommandLineOpensTheNamedProject)
{
    IndexServer server(m_dir.filePath("tree"));
    FillCache();
    const QString project = m_dir.filePath("empty.smg");
    WriteFile(project, "");
    {
        auto application = Make(server, {"-style", project});
        ASSERT_TRUE(application->InitInstance());
        EXPECT_EQ(g_document->GetPathName(), project);
        EXPECT_TRUE(person.shown.isEmpty());  // no start prompt for an opened project
        application->ExitInstance();
    }
    {
        // The recent-file list came back from the registry stand-in.
        auto application = Make(server, {m_dir.filePath("missing.smg")});
        EXPECT_FALSE(application->InitInstance());
        EXPECT_EQ(application->RecentFiles().Entries(), QStringList{project});
        EXPECT_EQ(person.shown.size(), 1);  // the open procedure's own message (see ProgramFaultsTest)
    }
}

TEST_F(ApplicationTest, AboutOpenAndNewCommands)
{
    IndexServer server(m_dir.filePath("tree"));
    FillCache();
    auto application = Make(server);
    ASSERT_TRUE(application->InitInstance());
    person.shown.clear();

    QStringList about;
    otherDialogs = [&](QDialog& dialog) {
        if (dynamic_cast<AboutBox*>(&dialog)) {
            for (auto* label : dialog.findChildren<QLabel*>())
                about << label->text();
            about << dialog.windowTitle() << QStringLiteral("%1x%2").arg(dialog.width()).arg(dialog.height());
            ShowAndExpose(dialog);
            SaveGrab(dialog, "about");
            // The notice fits its one line: nothing of it wraps below the line's 13 pixels.
            auto* notice = dialog.findChild<QLabel*>(QString::number(AboutBox::NoticeTextId));
            EXPECT_LE(notice->heightForWidth(notice->width()), notice->height());
            QTest::mouseClick(dialog.findChild<QPushButton*>("1"), Qt::LeftButton);
            return dialog.result();
        }
        auto& files = static_cast<QFileDialog&>(dialog);
        about << files.nameFilters().join(";");
        files.selectFile(m_dir.filePath("opened.smg"));
        return static_cast<int>(QDialog::Accepted);
    };
    EXPECT_TRUE(application->Commands().Run(Application::AboutCommand));
    EXPECT_TRUE(about.contains("Snapmingle, Version 2.0"));
    EXPECT_TRUE(about.contains("About Snapmingle"));
    EXPECT_TRUE(about.contains("255x101"));

    WriteFile(m_dir.filePath("opened.smg"), "");
    EXPECT_TRUE(application->Commands().Run(Application::OpenCommand));
    EXPECT_TRUE(about.contains("Snapmingle Projects (*.smg)"));
    EXPECT_EQ(g_document->GetPathName(), m_dir.filePath("opened.smg"));
    EXPECT_EQ(application->Commands().Query(Application::RecentFileFirst).text, QStringLiteral("&1 opened.smg"));
    EXPECT_FALSE(application->Commands().Query(Application::RecentFileFirst + 1).enabled);

    // New Project waits for a project under way (the empty file read here holds none); then a new
    // project at step 0 with its start prompt, also with the column hidden.
    EXPECT_FALSE(application->Commands().Run(Application::NewCommand));
    g_document->step = StepChooseScene;
    EXPECT_TRUE(application->Commands().Run(Application::NewCommand));
    EXPECT_EQ(g_document->step, 0);
    EXPECT_EQ(person.shown, (QStringList{"Help Tip: tip 1", "Help Tip: tip 2"}));
    // The document's commands are bound too, Enable Help Tips with the application's settings.
    EXPECT_TRUE(application->Commands().Query(CommandId::EnableHelpTips).enabled);
    application->ExitInstance();
}

} // namespace
