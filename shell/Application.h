#pragma once

#include "engine/base/Settings.h"
#include "engine/document/ApplicationLink.h"
#include "engine/document/CommandId.h"
#include "engine/view/SharedCursors.h"
#include "library/download/DownloadTimings.h"
#include "platform/PicturePrefetch.h"
#include "platform/RecentFileList.h"
#include "platform/RegistryStore.h"
#include "platform/ui/DocumentPromptBoxes.h"
#include "shell/DocumentTemplate.h"

#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AppPaths;
class Document;
class DocumentCommands;
class RequestManager;
namespace platform {
class CommandReceiver;
class CommandRouter;
} // namespace platform

// The program's one application object: it builds the program-wide objects in their order, makes sure
// the three content index files are in the cache before any window exists, makes the document, has
// the main window made (CreateMainWindow and ShowMainWindow: the main window's own code), starts a new
// project or opens the one the command line names, and refreshes cached index files in the background.
// It owns what it builds and stops the download workers when the program ends.
class Application : public ApplicationLink {
public:
    struct Options {
        QStringList arguments;                // the command line after the program's name
        std::function<AppPaths()> makePaths;  // the folders; default: this process's own
        QString registryPath;                 // the registry stand-in; default: the user's own
        DownloadTimings timings;
    };

    explicit Application(Options options);
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // InitInstance, Qt's event loop while it succeeded, ExitInstance: the process's exit code, which
    // is StartFailedExitCode when start-up ended.
    int Run();
    bool InitInstance();
    int ExitInstance();

    // Asks for a content file (server address + name into the cache folder) at priority 0, always
    // under a temporary name; without wait the download is forced. With wait the progress dialog runs
    // while the file is missing. Returns the id or the negative answer of the queue.
    int32_t RequestContentFile(bool wait, const QString& name);

    // New Project: asks to save a modified project, makes a new one and shows its start prompt.
    void OnFileNew();
    // Open Project: the file dialog with the template's filter, then the document's open procedure.
    void OnFileOpen();
    // Recent projects 57616 to 57619.
    void OnOpenRecentFile(int32_t id);
    void OnAppAbout();
    // The start prompt of a new project, when one is due (a panel hidden at step 0 gets no size change).
    void ShowStartPrompt();

    Settings& GetSettings() { return *m_settings; }
    platform::CommandRouter& Commands() { return *m_commands; }
    platform::RecentFileList& RecentFiles() { return m_recentFiles; }
    const DocumentTemplate& Template() const { return m_template; }
    platform::DocumentPromptBoxes& Prompts() { return m_prompts; }

    SharedCursors m_cursors;
    // The request ids of the three index files (a negative value -n reads as status n).
    std::array<int32_t, 3> m_catalogRequests{};

    static constexpr std::array<const char*, 3> IndexFileNames{"EncList.txt", "ThumbsA.txt", "ThumbsB.txt"};
    static constexpr int StartFailedExitCode = 1;
    static constexpr int32_t AboutCommand = CommandId::About;
    static constexpr int32_t NewCommand = CommandId::NewProject;
    static constexpr int32_t OpenCommand = CommandId::OpenProject;
    static constexpr int32_t RecentFileFirst = CommandId::RecentFileFirst;
    static constexpr int32_t RecentFileLast = CommandId::RecentFileLast;

protected:
    // The main window's part of start-up, after the document exists: the main window with its bars and
    // panes (installing g_shell, g_stepBar, g_layerView), its 32 ms task timer and its menus. False ends
    // start-up.
    virtual bool CreateMainWindow() = 0;
    // Sizes the main window to 800 x 600 pixels without moving it, and shows it.
    virtual void ShowMainWindow() = 0;

private:
    std::vector<platform::PicturePrefetch::Item> StartPictures() const;
    bool LoadIndexFiles();
    bool ProcessShellCommand();
    // The framework's initial update of every view after a new or opened project: the browsers decide
    // again whether they take input, everything repaints.
    void InitialUpdate();
    // The document's open procedure, then the initial update and the start prompt when one is due (a new
    // project in place of an unreadable file).
    void OpenProject(const QString& path);
    void RefreshIndexFiles();
    void AddCommands();

    Options m_options;
    std::unique_ptr<RequestManager> m_requestManager;
    std::unique_ptr<AppPaths> m_paths;
    std::unique_ptr<Settings> m_settings;
    platform::RegistryStore m_registry;
    platform::RecentFileList m_recentFiles;
    // The recent files as the registry holds them, once read: unchanged, they are not written again.
    std::optional<QStringList> m_storedRecentFiles;
    platform::DocumentPromptBoxes m_prompts{QStringLiteral("Snapmingle")};
    DocumentTemplate m_template;
    std::unique_ptr<platform::CommandRouter> m_commands;
    std::unique_ptr<platform::CommandReceiver> m_receiver;
    std::unique_ptr<Document> m_ownedDocument;
    std::unique_ptr<DocumentCommands> m_documentCommands;  // the document's command map
};
