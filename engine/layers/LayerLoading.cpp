#include "engine/layers/Layer.h"

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"
#include "engine/document/ShellLink.h"
#include "engine/document/StepBarLink.h"
#include "engine/document/WizardState.h"
#include "platform/PathJoin.h"

namespace {

constexpr int32_t FaceTab = 0;
constexpr int32_t ContentTabCount = 4;

} // namespace

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

    // A face has loaded (a second one finds the step already at 4 and only repeats the updates).
    if (g_shell && g_shell->HasTabView()) {
        for (int32_t tab = 0; tab < ContentTabCount; ++tab)
            g_shell->ShowTab(tab, tab == FaceTab);
        g_shell->SetActiveTab(FaceTab);
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
