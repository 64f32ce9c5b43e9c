#include "shell/PaneSplitters.h"

#include "shell/Splitter.h"

namespace {
constexpr int32_t EditingViewPane = 0;
constexpr int32_t RightColumnPane = 1;
constexpr int32_t TabsPane = 0;
constexpr int32_t LayersPane = 1;
} // namespace

PaneSplitters::PaneSplitters(QWidget& editingView, QWidget& tabView, QWidget& layerView, QWidget* parent)
    : m_outer(new Splitter(Qt::Horizontal, parent)), m_inner(new Splitter(Qt::Vertical))
{
    m_outer->SetWidthKeeping(true);
    m_outer->addWidget(&editingView);
    m_outer->addWidget(m_inner);
    m_inner->addWidget(&tabView);
    m_inner->addWidget(&layerView);
    // Qt's own layouts between ours (a pane shown or hidden) follow the same rule.
    m_outer->setStretchFactor(EditingViewPane, 1);
    m_outer->setStretchFactor(RightColumnPane, 0);
    m_inner->setStretchFactor(TabsPane, 0);
    m_inner->setStretchFactor(LayersPane, 1);

    m_outer->SetIdealSize(RightColumnPane, RightColumnWidth);
    m_inner->SetIdealSize(TabsPane, TabViewHeight);
    HideRightColumn();
}

bool PaneSplitters::IsRightColumnShown() const
{
    return !m_outer->IsLocked();
}

void PaneSplitters::HideRightColumn()
{
    if (m_outer->IsLocked())
        return;  // hidden already: the saved width stays
    m_outer->m_savedWidths[RightColumnPane] = m_outer->IdealSize(RightColumnPane);
    m_outer->SetIdealSize(RightColumnPane, 0);
    m_inner->hide();
    m_outer->SetLocked(true);
    m_outer->refresh();  // the bar goes with its pane now, not at the next layout pass
    m_outer->RecalcLayout();
}

void PaneSplitters::ShowRightColumn()
{
    if (!m_outer->IsLocked())
        return;
    m_outer->SetLocked(false);
    m_inner->show();
    m_outer->SetIdealSize(RightColumnPane, m_outer->m_savedWidths[RightColumnPane]);
    m_outer->refresh();
    m_outer->RecalcLayout();
    m_inner->RecalcLayout();
}
