#include "engine/base/Settings.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "platform/ui/CommandRouter.h"
#include "shell/DocumentCommands.h"
#include "shell/MainMenu.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class PlainLayer final : public Layer {
public:
    explicit PlainLayer(int32_t flags) : Layer(flags, 0) {}
    bool LoadFile(const QString&) override { return false; }
};

// The main window's menu and keys on a document at the finish with a face selected, the help tips'
// switch in both stores when withSettings.
void RefreshAllActions(benchmark::State& state, bool withSettings)
{
    QTemporaryDir folder;
    Settings settings(folder.filePath("SMG.ini"), folder.filePath("registry.ini"));
    settings.SetTutorialOff(0);
    Document document;
    (new PlainLayer(LayerFlagsScenePhoto))->LinkBefore(&document.layers);
    (new PlainLayer(LayerFlagsFace))->LinkBefore(&document.layers);
    document.step = StepFinish;
    document.selectedIndex = 1;
    if (withSettings)
        document.SetSettings(&settings);
    platform::CommandRouter router;
    DocumentCommands commands(router, document);
    QMainWindow window;
    InstallMainMenu(*window.menuBar(), router, window);
    for (auto _ : state)
        router.UpdateActions();
}

void BM_RefreshAllActions(benchmark::State& state)
{
    RefreshAllActions(state, true);
}

// The same without the help tips' settings: Enable Help Tips answers from the setting the settings object
// keeps, so the two differ by no file read.
void BM_RefreshWithoutHelpTipsStores(benchmark::State& state)
{
    RefreshAllActions(state, false);
}

BENCHMARK(BM_RefreshAllActions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshWithoutHelpTipsStores)->Unit(benchmark::kMicrosecond);

} // namespace
