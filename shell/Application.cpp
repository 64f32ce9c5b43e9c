#include "shell/Application.h"

#include "engine/base/Angle.h"
#include "engine/base/AppPaths.h"
#include "engine/base/TaskList.h"
#include "engine/document/Document.h"
#include "engine/layers/ImageReference.h"
#include "library/download/Request.h"
#include "library/download/RequestManager.h"
#include "library/download/ui/LoadBox.h"
#include "shell/CommandLineInfo.h"
#include "shell/DocumentCommands.h"
#include "shell/LayerView.h"
#include "platform/ui/CommandReceiver.h"
#include "platform/ui/CommandRouter.h"
#include "platform/PathJoin.h"
#include "platform/PicturePrefetch.h"
#include "platform/ResourceId.h"
#include "platform/ResourceTable.h"
#include "platform/Resources.h"
#include "shell/RecentFileProfile.h"

#include <QApplication>
#include <QFontDatabase>
#include <cstdio>
#include <future>

namespace {

int StatusOf(int32_t value)
{
    if (value < 0)
        return -value;
    return g_requestManager ? g_requestManager->Status(value) : RequestFailed;
}

} // namespace

Application::Application(Options options)
    : m_options(std::move(options)),
      m_registry(m_options.registryPath.isEmpty() ? platform::RegistryStore::DefaultFilePath() : m_options.registryPath)
{
    if (!m_options.makePaths)
        m_options.makePaths = [] { return AppPaths::ForThisProcess(); };
    g_cursors = &m_cursors;
}

Application::~Application()
{
    m_receiver.reset();
    m_documentCommands.reset();
    m_ownedDocument.reset();
    m_commands.reset();
    if (g_requestManager == m_requestManager.get())
        g_requestManager = nullptr;
    m_requestManager.reset();
    if (g_paths == m_paths.get())
        g_paths = nullptr;
    if (g_cursors == &m_cursors)
        g_cursors = nullptr;
}

int Application::Run()
{
    if (!InitInstance()) {
        ExitInstance();
        return StartFailedExitCode;
    }
    QApplication::exec();
    return ExitInstance();
}

bool Application::InitInstance()
{
    // The font database (fontconfig's configuration and caches, some 4 ms) fills on a worker while the
    // program-wide objects are made; the main window's first text waits for it. QFontDatabase is
    // thread-safe. The future waits for the worker when start-up ends either way.
    const std::future<void> fonts = std::async(std::launch::async, [] { QFontDatabase::families(); });
    InitTrigTables();
    // The task list's sentinel is a program-wide object that starts empty and self-linked.
    m_requestManager = std::make_unique<RequestManager>(m_options.timings);
    g_requestManager = m_requestManager.get();
    m_paths = std::make_unique<AppPaths>(m_options.makePaths());
    g_paths = m_paths.get();
    m_settings = std::make_unique<Settings>(m_paths->iniPath, m_registry.FilePath());
    // The pictures the main window and a new project load decode on a worker meanwhile.
    platform::PicturePrefetch prefetch(StartPictures());

    if (!LoadIndexFiles())
        return false;

    // The profile under "Snapmingle2": the recent-file list of four.
    RecentFileProfile::Load(m_registry, m_recentFiles);
    m_storedRecentFiles = m_recentFiles.Entries();

    m_template = DocumentTemplate::FromResource();
    m_commands = std::make_unique<platform::CommandRouter>();
    m_ownedDocument = std::make_unique<Document>();
    m_document->SetFileType(m_template.filterName, m_template.filterExtension);
    m_document->SetPrompts(&m_prompts);
    m_document->SetRecentFiles(&m_recentFiles);
    m_document->SetSettings(m_settings.get());
    AddCommands();

    if (!CreateMainWindow())
        return false;
    if (!ProcessShellCommand())
        return false;
    InitialUpdate();
    m_cursors.LoadCursors();
    ShowMainWindow();
    ShowStartPrompt();

    RefreshIndexFiles();
    return true;
}

// In about the order the start asks for them: the program icon, the bitmaps of the main window (not the
// current-step set, which step 0 does not show), the brush stamps of the editing view, the welcome picture
// of a new project, the cursors.
std::vector<platform::PicturePrefetch::Item> Application::StartPictures() const
{
    namespace ResourceId = platform::ResourceId;
    using platform::ResourceType;
    const auto pictures = platform::ResourceTable::Pictures();
    std::vector<platform::PicturePrefetch::Item> items;
    const auto addResources = [&](ResourceType type) {
        for (const platform::PictureResource& picture : pictures) {
            const bool currentStep = type == ResourceType::Bitmap && picture.id >= ResourceId::StepCurrentFirst &&
                                     picture.id < ResourceId::StepOtherFirst;
            if (picture.type == type && !currentStep)
                items.push_back(platform::Resources::PrefetchItem(picture));
        }
    };
    const auto addFile = [&](const QString& name) {
        const QString path = platform::JoinPath(m_paths->resourceFolder, name);
        items.push_back({path, [path] { return ImageReference::ReadPicture(path); }});
    };
    addResources(ResourceType::Icon);
    addResources(ResourceType::Bitmap);
    addFile(QStringLiteral("paint.bki"));
    addFile(QStringLiteral("erase.bki"));
    if (CommandLineInfo::Parse(m_options.arguments).shell == CommandLineInfo::Shell::FileNew)
        addFile(QStringLiteral("welcome.bki"));
    addResources(ResourceType::Cursor);
    return items;
}

// Each index file waits in the progress dialog while it is missing. A file that failed ends start-up;
// the window-less end says why on standard error.
bool Application::LoadIndexFiles()
{
    for (size_t i = 0; i < IndexFileNames.size(); ++i)
        m_catalogRequests[i] = RequestContentFile(true, QString::fromLatin1(IndexFileNames[i]));
    for (size_t i = 0; i < IndexFileNames.size(); ++i) {
        if (StatusOf(m_catalogRequests[i]) != RequestFailed)
            continue;
        const QString url = m_paths->serverUrl + QString::fromLatin1(IndexFileNames[i]);
        std::fprintf(stderr,
                     "snapmingle: cannot start: the content index %s could not be downloaded from %s "
                     "(is the content server running?)\n",
                     IndexFileNames[i], url.toLocal8Bit().constData());
        std::fflush(stderr);
        return false;
    }
    return true;
}

// Cached index files were parsed as they are; fresh copies replace them for the next start, each put
// in place only when complete.
void Application::RefreshIndexFiles()
{
    for (size_t i = 0; i < IndexFileNames.size(); ++i) {
        if (m_catalogRequests[i] < 0)
            m_catalogRequests[i] = RequestContentFile(false, QString::fromLatin1(IndexFileNames[i]));
    }
}

int32_t Application::RequestContentFile(bool wait, const QString& name)
{
    const QString url = g_paths->serverUrl + name;
    const QString path = g_paths->cacheFolder + name;
    // Always under a temporary name: a reader never meets a file that is still being written, also
    // when the person ends the progress dialog early.
    const int32_t id = g_requestManager->AddRequest(url, path, RequestPriorityCatalog, true, !wait);
    if (wait)
        LoadBox::WaitForRequest(id);
    return id;
}

bool Application::ProcessShellCommand()
{
    const CommandLineInfo info = CommandLineInfo::Parse(m_options.arguments);
    if (info.shell == CommandLineInfo::Shell::FileOpen)
        return m_document->OpenDocumentFile(info.fileName);
    return m_document->NewDocument();
}

int Application::ExitInstance()
{
    // A start that ended before reading the list must not empty it; an unchanged list is not written
    // again (each entry is a write of the registry's file).
    if (m_storedRecentFiles && *m_storedRecentFiles != m_recentFiles.Entries()) {
        RecentFileProfile::Save(m_registry, m_recentFiles);
        m_storedRecentFiles = m_recentFiles.Entries();
    }
    // The workers stop before anything static goes: aborted, joined, no partial file left.
    if (m_requestManager)
        m_requestManager->Shutdown();
    return 0;
}

void Application::ShowStartPrompt()
{
    if (LayerView* panel = LayerView::Installed())
        panel->ShowStartPrompt();
}

void Application::InitialUpdate()
{
    m_document->UpdateAllViews(nullptr, 0);
}

void Application::OnFileNew()
{
    if (m_document && m_document->FileNew()) {
        InitialUpdate();
        ShowStartPrompt();
    }
}
