#include "engine/layers/Layer.h"

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"
#include "engine/document/ShellLink.h"
#include "engine/document/StepBarLink.h"
#include "engine/document/WizardState.h"
#include "engine/layers/BubbleFont.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/LayerGeometry.h"
#include "engine/layers/LayerKind.h"
#include "library/download/Request.h"
#include "library/download/RequestManager.h"
#include "platform/DeviceContext.h"
#include "platform/DeviceContextSaver.h"
#include "platform/PathJoin.h"

#include <QFileInfo>
#include <QTransform>
#include <algorithm>

namespace {

constexpr float PlaceholderCentre = Layer::PlaceholderSize / 2;
constexpr int32_t PlaceholderTextRise = 10;  // the text stands this far above the placeholder's centre
constexpr int32_t PercentDone = 100;
constexpr float PlaceholderTextShare = 10.0f;  // the words in the composition: a tenth of the frame high

} // namespace

int32_t Layer::RequestStatus() const
{
    if (requestId < 0)
        return -requestId;
    return g_requestManager ? g_requestManager->Status(requestId) : RequestFailed;
}

int32_t Layer::RequestPercent() const
{
    if (requestId == RequestAlreadyCached)
        return PercentDone;
    if (requestId < 0 || !g_requestManager)
        return 0;
    const Request* request = g_requestManager->FindRequest(requestId);
    return request ? request->progress : 0;
}

void Layer::Init(const QString& contentPath, int32_t contentNumber, int32_t contentKind, bool fitLater)
{
    path = contentPath;
    number = contentNumber;
    kind = contentKind;
    fit = fitLater;
    QString remote;
    QString local;
    GetRemotePath(remote);
    GetLocalPath(local);
    if (g_requestManager) {
        requestId = g_requestManager->AddRequest(remote, local, RequestPriorityContent, false, false);
    } else {
        // Without a request queue (a tool, a test) only files that are already there can load.
        requestId = QFileInfo::exists(local) ? RequestAlreadyCached : -static_cast<int32_t>(RequestFailed);
    }

    if (RequestStatus() == RequestDone) {
        LoadContent(local);
        AdvanceWizard();
        position = centre;
        if (fit)
            FitToBackground();
        if (g_document)
            g_document->PromoteSceneToLayer(this);
    } else {
        size = {PlaceholderSize, PlaceholderSize};
        centre = {PlaceholderCentre, PlaceholderCentre};
        lastPercent = -1;
        // A layer that will be fitted when it arrives is fitted at the placeholder's size meanwhile, so
        // that its frame and its words stand on the picture, where they can be read and clicked.
        if (fit && (flags & LayerFlagMove))
            FitToBackground();
        pendingTask.reset(new Task<Layer>(this, &Layer::OnDownloadTask, TaskPriorityLayer));
    }
    RedrawAllViews();
}

bool Layer::OnDownloadTask()
{
    const int32_t status = RequestStatus();
    if (status == RequestDone) {
        QString local;
        GetLocalPath(local);
        LoadContent(local);
        if (g_document)
            g_document->PromoteSceneToLayer(this);
        position = m_storedPosition.value_or(centre);
        requestId = 0;
        pendingTask.release();  // the tick deletes the task when this returns false
        AdvanceWizard();
        if (fit)
            FitToBackground();
        RedrawAllViews();
        return false;
    }
    if (status == RequestFailed) {
        requestId = 0;
        pendingTask.release();
        RedrawAllViews();
        return false;
    }
    const int32_t percent = RequestPercent();
    if (percent == lastPercent)
        return true;
    lastPercent = percent;
    RedrawAllViews();
    return true;
}

void Layer::LoadContent(const QString& local)
{
    if (LoadFile(local))
        return;
    // A file that is there but cannot be used (not a picture, empty, too big) fails like a download:
    // the layer keeps the placeholder's size, so that its "Load Failed." shows and it can be picked
    // and deleted. At its own 1 x 1 size the text would be cut away.
    size = {PlaceholderSize, PlaceholderSize};
    centre = {PlaceholderCentre, PlaceholderCentre};
}

void Layer::DrawPlaceholder(platform::DeviceContext& dc, int32_t mode)
{
    const QString text = pendingTask ? QStringLiteral("Loading... %1").arg(RequestPercent())
                                     : QStringLiteral("Load Failed.");
    dc.SetTextColour(Qt::black);
    dc.SetBackgroundMode(platform::BackgroundMode::Transparent);
    QTransform m;
    const bool inComposition = mode == ViewModeAllLayers || mode == DrawModeSelected;
    if (!(flags & LayerFlagMove) || !IsLinked() || !inComposition) {
        Rect r{0, static_cast<int32_t>(centre.y) - PlaceholderTextRise, static_cast<int32_t>(size.x),
               static_cast<int32_t>(size.y)};
        dc.DrawText(text, r, platform::TextFormat::Centre);
        return;
    }
    if (mode == ViewModeAllLayers)
        BuildXForm(m, false);
    else if (!SelectedLayerMapping(m))
        return;
    const platform::DeviceContextSaver saver(dc);
    dc.SetWorldTransform(m);
    // On a white band, so that they can be read on a dark scene too.
    dc.SetBackgroundMode(platform::BackgroundMode::Opaque);
    dc.SetBackgroundColour(Qt::white);
    const int32_t height = std::max(1, static_cast<int32_t>(std::min(size.x, size.y) / PlaceholderTextShare));
    dc.SetFont(MakeCellHeightFont(QStringLiteral("Arial"), height, FontWeightNormal));
    Rect r{0, static_cast<int32_t>(centre.y) - height / 2, static_cast<int32_t>(size.x),
           static_cast<int32_t>(size.y)};
    dc.DrawText(text, r, platform::TextFormat::Centre);
}

bool Layer::SelectedLayerMapping(QTransform& m) const
{
    const Layer* selected = g_document ? g_document->GetSelectedLayer() : nullptr;
    if (!selected)
        return false;
    BuildXForm(m, false);
    if (!selected->BuildInverseXForm(m))
        return false;
    AppendTranslate(m, -(selected->cropTopLeft.x * selected->size.x), -(selected->cropTopLeft.y * selected->size.y));
    return true;
}

bool Layer::HasContent()
{
    return GetImage() != nullptr;
}

bool Layer::LoadFailed()
{
    return !pendingTask && !HasContent();
}

bool Layer::Load(platform::ArchiveReader&)
{
    Init(path, number, kind, false);
    return true;
}

void Layer::AdvanceWizard()
{
    Document* document = g_document;
    if (!document)
        return;
    if (document->step == StepChooseScene) {
        // The start-up picture is a scene too, but it never moves the wizard on.
        const QString welcome =
            platform::JoinPath(g_paths ? g_paths->resourceFolder : QString(), QStringLiteral("welcome.bki"));
        if (path != welcome)
            document->SetStep(StepSceneChosen, false);
        return;
    }
    if (document->step != StepChooseFace && document->step != StepFaceChosen)
        return;
    // Only a face moves the wizard on or, at step 4, repeats the updates below; another layer that arrives
    // late (a scene's photo or background still on its way) is no face and must not bring the face tab
    // back.
    if (flags != LayerFlagsFace)
        return;

    // A face has loaded.
    if (g_shell && g_shell->HasTabView()) {
        for (int32_t tab = 0; tab < ContentTabCount; ++tab)
            g_shell->ShowTab(tab, tab == ContentTabSceneFace);
        g_shell->SetActiveTab(ContentTabSceneFace);
        g_shell->SetFirstTabLabel(QStringLiteral("Faces"));
        g_shell->SetBrowserButtonText(QStringLiteral("Load face from PC..."));
    }
    if (document->step != StepFaceChosen) {
        // Set directly: no journal record, no entry actions.
        document->step = StepFaceChosen;
        document->SetTitle(document->GetTitle());
        if (g_shell)
            g_shell->SetViewBrushSize(document->brushSize);
    }
    if (g_shell)
        g_shell->ShowRightColumn();
    if (g_stepBar)
        g_stepBar->SetStep(StepFaceChosen, false);
}
