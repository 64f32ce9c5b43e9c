#include "shell/SnapmingleApplication.h"

#include "platform/ui/QuitWhenShown.h"
#include "shell/MainFrame.h"

#include <cstdio>

SnapmingleApplication::SnapmingleApplication(Options options, bool quitWhenShown)
    : Application(std::move(options)), m_quitWhenShown(quitWhenShown)
{
}

SnapmingleApplication::~SnapmingleApplication()
{
    // The panes are views of the document and listeners of the request queue: they go first.
    m_frame.reset();
}

bool SnapmingleApplication::CreateMainWindow()
{
    m_frame = std::make_unique<CMainFrame>(*m_document, GetSettings(), Commands());
    if (m_frame->Create())
        return true;
    std::fprintf(stderr, "snapmingle: cannot start: the main window could not be made: %s\n",
                 m_frame->FailureText().toLocal8Bit().constData());
    std::fflush(stderr);
    m_frame.reset();
    return false;
}

void SnapmingleApplication::ShowMainWindow()
{
    m_frame->resize(CMainFrame::FrameWidth, CMainFrame::FrameHeight);
    m_frame->show();
    if (m_quitWhenShown)
        new platform::QuitWhenShown(*m_frame);
}
