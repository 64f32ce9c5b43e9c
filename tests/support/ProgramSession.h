#pragma once

#include "support/SampleLibrary.h"

#include "shell/Application.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class CMainFrame;
class SnapmingleApplication;
class TreeView;

// The whole program as main starts it (SnapmingleApplication), in this process, with a data folder and a
// program folder of its own whose settings file names a loopback sample library of its own, for content
// and for sharing. The person at the screen (the modal answerer) is the caller's own.
class ProgramSession {
public:
    ProgramSession();
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // What main would give the application: these arguments, the session's folders.
    Application::Options MakeOptions(const QStringList& arguments = {}) const;
    // Starts the program as main does, with these command-line arguments; false when start-up ended.
    bool Start(const QStringList& arguments = {});
    // Ends it as main does after its loop: ExitInstance, then the application goes.
    void End();
    bool Running() const { return application != nullptr; }
    CMainFrame& Frame() const;

    // A path in the session's own temporary folder.
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }
    QString Program() const { return PathOf(QStringLiteral("program")); }
    QString CacheFolder() const { return PathOf(QStringLiteral("data/Snapmingle2/Cache")); }
    SampleLibrary& Library() { return m_library; }

    // A tool bar button pressed once the router has enabled it; false when it never is.
    [[nodiscard]] bool PressToolButton(int32_t command);
    // A button of the export panel, on the Export tab that the last step opens, clicked once it is
    // shown and enabled; false when it never is.
    [[nodiscard]] bool PressExportButton(int32_t command);
    // Next Step through the tool bar's button, once the router has enabled it.
    void PressNextStep();
    // Clicks thumbnail j of the browser's open subcategory, scrolling it into view first.
    void ClickThumbnail(TreeView& browser, int32_t j);
    // Clicks the title of subcategory s of the open category, which opens it.
    void ClickSubcategory(TreeView& browser, int32_t s);

    std::unique_ptr<SnapmingleApplication> application;

private:
    QTemporaryDir m_dir;
    SampleLibrary m_library;
};

// Scrolls the browser a line at a time until the row's top is in view with the next 20 pixels, and
// answers that top in viewport coordinates; -1 when the row never comes into view.
int FindRow(TreeView& browser, int32_t row);

// Runs the event loop until condition holds; false when it never does (see WaitUntil).
bool Settle(const std::function<bool()>& condition);
