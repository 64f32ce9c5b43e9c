#pragma once

#include "support/SampleLibrary.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class CMainFrame;
class SnapmingleApplication;
class TreeView;

// The whole program as main starts it (SnapmingleApplication), in this process, with a program folder
// whose settings file names a loopback sample library of its own. The person at the screen (the modal
// answerer) is the test's own.
class ProgramSession {
public:
    ProgramSession();
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // Starts the program as main does, with these command-line arguments; false when start-up ended.
    bool Start(const QStringList& arguments = {});
    // Ends it as main does after its loop: ExitInstance, then the application goes.
    void End();
    bool Running() const { return application != nullptr; }
    CMainFrame& Frame() const;

    // A path in the session's own temporary folder.
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }
    QString Program() const { return PathOf(QStringLiteral("program")); }
    SampleLibrary& Library() { return m_library; }

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
