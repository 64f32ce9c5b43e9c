#include "shell/Application.h"

#include "engine/document/Document.h"
#include "platform/CommandUI.h"
#include "platform/ui/CommandReceiver.h"
#include "platform/ui/CommandRouter.h"
#include "platform/ui/FileDialogFolder.h"
#include "platform/ui/ModalHost.h"
#include "shell/AboutBox.h"
#include "shell/DocumentCommands.h"
#include "shell/StepBar.h"

#include <QFileDialog>
#include <QFileInfo>

void Application::AddCommands()
{
    m_documentCommands = std::make_unique<DocumentCommands>(*m_commands, *m_document);
    m_receiver = std::make_unique<platform::CommandReceiver>(*m_commands, platform::CommandStage::Application);
    m_receiver->On(AboutCommand, [this] { OnAppAbout(); });
    // New Project's enabling belongs to the document (a project must be under way); its work is here.
    m_receiver->On(NewCommand, [this] { OnFileNew(); });
    m_receiver->On(OpenCommand, [this] { OnFileOpen(); });
    m_receiver->OnRange(RecentFileFirst, RecentFileLast, [this](int32_t id) { OnOpenRecentFile(id); });
    m_receiver->OnUpdateRange(RecentFileFirst, RecentFileLast, [this](platform::CommandUI& ui) {
        const qsizetype slot = ui.Id() - RecentFileFirst;
        const QString path = m_recentFiles.Entries().value(slot);
        ui.Enable(!path.isEmpty());
        if (!path.isEmpty())
            ui.SetText(QStringLiteral("&%1 %2").arg(slot + 1).arg(QFileInfo(path).fileName()));
    });
}

void Application::OnAppAbout()
{
    AboutBox box;
    platform::ModalHost::Run(box);
}

void Application::OnFileOpen()
{
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(m_template.filterName);
    if (platform::RunFileDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenProject(dialog.selectedFiles().first());
}

void Application::OnOpenRecentFile(int32_t id)
{
    const QString path = m_recentFiles.Entries().value(id - RecentFileFirst);
    if (path.isEmpty())
        return;
    OpenProject(path);
}

void Application::OpenProject(const QString& path)
{
    // The tip of the step the project was saved at comes once the open has finished: the project drawn
    // under its own name, any message given. A failed open's new project drops it.
    StepBar* bar = StepBar::Installed();
    if (bar)
        bar->HoldTips();
    m_document->OpenDocumentFile(path);
    // Also after a failure: a file that could not be read leaves a new project in its place, which has
    // its start prompt.
    InitialUpdate();
    ShowStartPrompt();
    if (bar)
        bar->ReleaseTips();
}
