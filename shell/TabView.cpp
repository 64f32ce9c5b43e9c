#include "shell/TabView.h"

#include "engine/document/UpdateHint.h"

#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

TabView::TabView(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)), m_pages(new QStackedWidget(this))
{
    m_bar->setShape(QTabBar::RoundedNorth);
    m_bar->setTabsClosable(false);
    m_bar->setExpanding(false);
    m_bar->setDrawBase(true);
    m_bar->setFocusPolicy(Qt::NoFocus);
    for (int32_t i = 0; i < TabCount; ++i) {
        m_bar->addTab(QString());  // hidden and unnamed until its page comes
        m_bar->setTabVisible(i, false);
    }
    m_bar->addTab(QString());
    m_bar->setTabVisible(NoneTab, false);
    m_bar->setCurrentIndex(NoneTab);

    m_noPage = new QWidget(m_pages);
    m_pages->addWidget(m_noPage);
    m_pages->setFrameShape(QFrame::NoFrame);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_bar);
    layout->addWidget(m_pages, 1);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) { OnCurrentChanged(index); });
}

bool TabView::AddView(QWidget* page, const QString& label, int32_t index)
{
    if (!page || index < 0 || index >= TabCount || m_views[static_cast<size_t>(index)])
        return false;
    m_views[static_cast<size_t>(index)] = page;
    m_pages->addWidget(page);
    m_bar->setTabText(index, label);
    m_bar->setTabVisible(index, true);
    OnCurrentChanged(m_bar->currentIndex());
    return true;
}

QWidget* TabView::Page(int32_t index) const
{
    return index >= 0 && index < TabCount ? m_views[static_cast<size_t>(index)] : nullptr;
}

void TabView::ShowTab(int32_t index, bool show)
{
    if (index < 0 || index >= TabCount)
        return;
    // Qt would activate a neighbour of a hidden current tab; here the first shown tab takes over.
    if (!show && m_bar->currentIndex() == index)
        m_bar->setCurrentIndex(NoneTab);
    m_bar->setTabVisible(index, show);
    KeepAShownTabActive();
}

bool TabView::IsTabShown(int32_t index) const
{
    return index >= 0 && index < TabCount && m_bar->isTabVisible(index);
}

void TabView::SetActiveTab(int32_t index)
{
    m_bar->setCurrentIndex(IsTabShown(index) ? index : NoneTab);
    KeepAShownTabActive();
}

void TabView::KeepAShownTabActive()
{
    if (IsTabShown(m_bar->currentIndex()))
        return;
    for (int32_t i = 0; i < TabCount; ++i) {
        if (m_bar->isTabVisible(i)) {
            m_bar->setCurrentIndex(i);
            return;
        }
    }
}

int32_t TabView::ActiveTab() const
{
    const int32_t current = m_bar->currentIndex();
    return current >= 0 && current < TabCount ? current : -1;
}

QWidget* TabView::ActiveView() const
{
    return Page(ActiveTab());
}

void TabView::SetFirstTabLabel(const QString& label)
{
    m_bar->setTabText(0, label);
}

QString TabView::TabLabel(int32_t index) const
{
    return index >= 0 && index < TabCount ? m_bar->tabText(index) : QString();
}

void TabView::OnCurrentChanged(int32_t index)
{
    QWidget* page = Page(index);
    m_pages->setCurrentWidget(page ? page : m_noPage);
}

void TabView::OnUpdate(DocumentObserver*, int32_t hint, const Rect*)
{
    if (hint < HintRedraw)
        update();
}
