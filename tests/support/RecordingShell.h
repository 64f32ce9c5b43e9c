#pragma once

#include "engine/document/LayerViewLink.h"
#include "engine/document/ShellLink.h"
#include "engine/document/StepBarLink.h"
#include "engine/layers/LayerList.h"

#include <QString>
#include <QStringList>

// A shell (main window, layers panel and step bar) that writes down every call, installed as g_shell,
// g_layerView and g_stepBar while it lives.
class RecordingShell final : public ShellLink, public LayerViewLink, public StepBarLink {
public:
    explicit RecordingShell(bool withTabView = true)
        : m_tabView(withTabView), m_saved(g_shell), m_savedLayerView(g_layerView), m_savedStepBar(g_stepBar)
    {
        g_shell = this;
        g_layerView = this;
        g_stepBar = this;
    }
    ~RecordingShell()
    {
        g_shell = m_saved;
        g_layerView = m_savedLayerView;
        g_stepBar = m_savedStepBar;
    }
    RecordingShell(const RecordingShell&) = delete;
    RecordingShell& operator=(const RecordingShell&) = delete;

    bool HasTabView() const override { return m_tabView; }
    void ShowTab(int32_t index, bool show) override { calls << QStringLiteral("ShowTab %1 %2").arg(index).arg(show); }
    void SetActiveTab(int32_t index) override { calls << QStringLiteral("SetActiveTab %1").arg(index); }
    void SetFirstTabLabel(const QString& text) override { calls << QStringLiteral("SetFirstTabLabel ") + text; }
    void SetBrowserButtonText(const QString& text) override { calls << QStringLiteral("SetBrowserButtonText ") + text; }
    void ShowRightColumn() override { calls << QStringLiteral("ShowRightColumn"); }
    void HideRightColumn() override { calls << QStringLiteral("HideRightColumn"); }
    void SetViewBrushSize(int32_t size) override { calls << QStringLiteral("SetViewBrushSize %1").arg(size); }
    void UpdateDialogControls() override { calls << QStringLiteral("UpdateDialogControls"); }
    void FillList(const LayerList& layers) override { calls << QStringLiteral("FillList %1").arg(layers.GetCount()); }
    void SelectLayer(int32_t index) override { calls << QStringLiteral("SelectLayer %1").arg(index); }
    void SetStep(int32_t state, bool noTip) override
    {
        calls << QStringLiteral("SetStepBarStep %1 %2").arg(state).arg(noTip);
    }

    QStringList calls;

private:
    bool m_tabView;
    ShellLink* m_saved;
    LayerViewLink* m_savedLayerView;
    StepBarLink* m_savedStepBar;
};
