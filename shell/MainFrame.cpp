#include "shell/MainFrame.h"

#include "engine/base/AppPaths.h"
#include "engine/base/Settings.h"
#include "engine/base/TaskList.h"
#include "engine/document/CommandId.h"
#include "engine/document/Document.h"
#include "engine/view/DocumentView.h"
#include "library/browser/AccessoryTree.h"
#include "library/browser/BubbleTree.h"
#include "library/browser/SceneTree.h"
#include "platform/CommandUI.h"
#include "platform/ResourceId.h"
#include "platform/Resources.h"
#include "platform/ui/CommandReceiver.h"
#include "platform/ui/CommandRouter.h"
#include "shell/ExportDialog.h"
#include "shell/LayerView.h"
#include "shell/MainMenu.h"
#include "shell/PaneSplitters.h"
#include "shell/Splitter.h"
#include "shell/StepBar.h"
#include "shell/StepPictures.h"
#include "shell/TabView.h"
#include "shell/ToolBar.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QStringList>
#include <QVBoxLayout>

namespace {

const QString ProgramTitle = QStringLiteral("Snapmingle");

} // namespace

CMainFrame::CMainFrame(Document& document, Settings& settings, platform::CommandRouter& router)
    : m_document(document), m_settings(settings), m_router(router), m_taskTimer(TaskTimerPeriodMs, [] { RunTaskList(); })
{
    setWindowTitle(ProgramTitle);
    setWindowIcon(platform::Resources::Icon(platform::ResourceId::ProgramIcon));
    // The step bar exists from the frame's construction on (g_stepBar), as the document's steps may
    // run before the window is shown.
    m_stepBar = new StepBar(m_settings, this);
    m_stepBar->SetTipsWaitForWindow(true);
    g_shell = this;
}

CMainFrame::~CMainFrame()
{
    m_taskTimer.Stop();
    if (g_shell == this)
        g_shell = nullptr;
    m_document.titleShown = nullptr;
    if (m_tabs)
        m_document.RemoveView(m_tabs);
    m_receiver.reset();
    // The panes go with the window (Qt's children); each view leaves the document by itself.
}

bool CMainFrame::Create()
{
    bool ok = CreateBars();
    CreateClient();
    AddCommands();
    InstallMainMenu(*m_menuBar, m_router, *this);
    m_document.titleShown = [this](const QString& title) { ShowTitle(title); };
    ShowTitle(m_document.GetShownTitle());
    // Its start does not decide whether the frame was made.
    m_taskTimer.Start();
    return ok;
}

// The menu bar over a band of the step pictures across the top, the step bar at the bottom, the tool bar
// on the left.
bool CMainFrame::CreateBars()
{
    QStringList missing;
    auto* top = new QWidget;
    auto* column = new QVBoxLayout(top);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_menuBar = new QMenuBar(top);
    column->addWidget(m_menuBar);
    // The band clips the strip in a window narrower than the strip rather than widening the window
    // beyond its 800 pixels.
    m_picturesBand = new QWidget(top);
    m_pictures = new StepPictures(m_picturesBand);
    if (!m_pictures->IsComplete())
        missing << QStringLiteral("the step pictures");
    m_picturesBand->setFixedHeight(m_pictures->height());
    m_picturesBand->setMinimumWidth(0);
    column->addWidget(m_picturesBand);
    setMenuWidget(top);

    setStatusBar(m_stepBar);
    m_stepBar->SetStepImagesTarget(m_pictures);

    m_toolBar = new ToolBar(m_router, this);
    if (!m_toolBar->Create(*this))
        missing << QStringLiteral("the tool bar's pictures");
    if (!m_toolBar->SetButtons(ToolBar::Buttons))
        missing << QStringLiteral("the tool bar buttons' pictures");
    if (!missing.isEmpty())
        m_failure = missing.join(QStringLiteral(", ")) + QStringLiteral(" missing");
    return missing.isEmpty();
}

// The editing view beside the right-hand column of the content tabs over the layers panel; the column
// starts hidden (step 0).
void CMainFrame::CreateClient()
{
    m_view = new DocumentView(&m_document);
    m_view->editText = [this] { m_document.OnEditText(); };

    m_tabs = new TabView;
    m_scenes = new SceneTree(m_document);
    m_accessories = new AccessoryTree(m_document);
    m_bubbles = new BubbleTree(m_document);
    m_tabs->AddView(m_scenes, QStringLiteral("Scenes"), ContentTabSceneFace);
    m_tabs->AddView(m_accessories, QStringLiteral("Accessories"), ContentTabAccessory);
    m_tabs->AddView(m_bubbles, QStringLiteral("Text"), ContentTabBubble);
    m_tabs->AddView(new ExportDialog(m_router), QStringLiteral("Export"), ContentTabExport);
    m_document.AddView(m_tabs);

    m_layers = new LayerView(m_document, m_settings);
    m_splitters = std::make_unique<PaneSplitters>(*m_view, *m_tabs, *m_layers, this);
    setCentralWidget(&m_splitters->Outer());
}

void CMainFrame::AddCommands()
{
    m_receiver = std::make_unique<platform::CommandReceiver>(m_router, platform::CommandStage::Frame);
    m_receiver->On(CommandId::Exit, [this] { OnAppExit(); });
    m_receiver->On(CommandId::VisitSite, [this] { OnVisitSite(); });
    m_receiver->OnUpdate(CommandId::VisitSite, [](platform::CommandUI& ui) { ui.Enable(true); });
    m_receiver->On(CommandId::OnlineHelp, [this] { OnOnlineHelp(); });
}

void CMainFrame::ShowTitle(const QString& documentTitle)
{
    setWindowTitle(documentTitle.isEmpty() ? ProgramTitle : documentTitle + QStringLiteral(" - ") + ProgramTitle);
}

void CMainFrame::OnTimer()
{
    RunTaskList();
}

void CMainFrame::SetStepImages(int32_t n)
{
    if (m_pictures)
        m_pictures->SetStepImages(n);
}

QString CMainFrame::SitePage(const QString& page)
{
    return (g_paths ? g_paths->siteUrl : QString::fromLatin1(AppPaths::DefaultServerUrl)) + page;
}

void CMainFrame::OnVisitSite()
{
    OpenUrlInBrowser(SitePage(QString()));  // nothing to say when no browser opens it
}

void CMainFrame::OnOnlineHelp()
{
    OpenUrlInBrowser(SitePage(QString::fromLatin1(HelpPage)));
}

void CMainFrame::OnAppExit()
{
    close();
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip)
        return true;  // taken here: QMainWindow would put it over the step text
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_document.SaveModified())
        event->accept();
    else
        event->ignore();
}

bool CMainFrame::HasTabView() const
{
    return m_tabs != nullptr;
}

void CMainFrame::ShowTab(int32_t index, bool show)
{
    if (m_tabs)
        m_tabs->ShowTab(index, show);
}

void CMainFrame::SetActiveTab(int32_t index)
{
    if (m_tabs)
        m_tabs->SetActiveTab(index);
}

void CMainFrame::SetFirstTabLabel(const QString& text)
{
    if (m_tabs)
        m_tabs->SetFirstTabLabel(text);
}

void CMainFrame::SetBrowserButtonText(const QString& text)
{
    if (m_scenes)
        m_scenes->SetLoadButtonText(text);
}

void CMainFrame::ShowRightColumn()
{
    if (m_splitters)
        m_splitters->ShowRightColumn();
}

void CMainFrame::HideRightColumn()
{
    if (m_splitters)
        m_splitters->HideRightColumn();
}

void CMainFrame::SetViewBrushSize(int32_t size)
{
    DocumentView::SetViewBrushSize(&m_document, size);
}

void CMainFrame::UpdateDialogControls()
{
    m_router.UpdateActions();
}
