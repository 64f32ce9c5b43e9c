#pragma once

#include "engine/document/ShellLink.h"
#include "engine/layers/LayerList.h"

#include <QString>
#include <QStringList>

// A shell that writes down every call, installed as g_shell while it lives.
class RecordingShell final : public ShellLink {
public:
    explicit RecordingShell(bool withTabView = true) : m_tabView(withTabView), m_saved(g_shell) { g_shell = this; }
    ~RecordingShell() { g_shell = m_saved; }
    RecordingShell(const RecordingShell&) = delete;
    RecordingShell& operator=(const RecordingShell&) = delete;

    bool HasTabView() const override { return m_tabView; }
    void ShowTab(int32_t index, bool show) override { calls << QStringLiteral("ShowTab %1 %2").arg(index).arg(show); }
    void SetActiveTab(int32_t index) override { calls << QStringLiteral("SetActiveTab %1").arg(index); }
    void SetFirstTabLabel(const QString& text) override { calls << QStringLiteral("SetFirstTabLabel ") + text; }
    void SetBrowserButtonText(const QString& text) override { calls << QStringLiteral("SetBrowserButtonText ") + text; }
    void ShowRightColumn() override { calls << QStringLiteral("ShowRightColumn"); }
    void HideRightColumn() override { calls << QStringLiteral("HideRightColumn"); }
    void SetStepBarStep(int32_t state, bool noTip) override
    {
        calls << QStringLiteral("SetStepBarStep %1 %2").arg(state).arg(noTip);
    }
    void SetViewBrushSize(int32_t size) override { calls << QStringLiteral("SetViewBrushSize %1").arg(size); }
    void FillLayerList(const LayerList& layers, int32_t selectedIndex) override
    {
        calls << QStringLiteral("FillLayerList %1 %2").arg(layers.GetCount()).arg(selectedIndex);
    }

    QStringList calls;

private:
    bool m_tabView;
    ShellLink* m_saved;
};
