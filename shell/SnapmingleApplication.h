#pragma once

#include "engine/view/DocumentDialogs.h"
#include "engine/view/SavePictureDialog.h"
#include "shell/Application.h"

#include <memory>

class CMainFrame;

// The program's application: the start-up of Application with the main window (CMainFrame) and the
// document's dialogs (Edit Text, Adjust Color, e-mail, Save Picture), held for as long as the program
// runs. The frame goes before the document.
class SnapmingleApplication final : public Application {
public:
    // quitWhenShown ends the program once the main window is on the screen (the start-up timing).
    explicit SnapmingleApplication(Options options, bool quitWhenShown = false);
    ~SnapmingleApplication() override;

    // The main window, or null before start-up made it.
    CMainFrame* Frame() const { return m_frame.get(); }

protected:
    // Makes the frame; a frame that cannot be made says why on standard error.
    bool CreateMainWindow() override;
    // 800 x 600 where the window is, shown.
    void ShowMainWindow() override;

private:
    DocumentDialogs m_documentDialogs;
    SavePictureDialog m_pictureDialog;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_quitWhenShown;
};
