#pragma once

#include "engine/document/ShellLink.h"
#include "platform/DocumentObserver.h"

#include <QWidget>
#include <array>
#include <cstdint>

class QStackedWidget;
class QTabBar;

// The content tabs of the right-hand column: 0 "Scenes" (or "Faces"), 1 "Accessories", 2 "Text",
// 3 "Export", whose pages the main window adds. As in a tab control, a shown tab is never left without its
// page: whenever tabs are shown or hidden or the active tab is chosen, and the active tab is hidden or none
// is asked for, the first shown tab becomes active. Only with every tab hidden is none active (no page
// shown). Adding a page activates nothing.
class TabView final : public QWidget, public DocumentObserver {
public:
    explicit TabView(QWidget* parent = nullptr);

    // Puts page in as tab index (0 to 3), labelled; the view takes it as its child. False for another
    // index or a tab that has its page already.
    bool AddView(QWidget* page, const QString& label, int32_t index);
    QWidget* Page(int32_t index) const;

    // Shows or hides the tab; the active tab stays active, and a hidden active tab hands over to the first
    // shown tab.
    void ShowTab(int32_t index, bool show);
    bool IsTabShown(int32_t index) const;
    // Makes the tab active (its page shown); -1, a hidden tab or one that does not exist make the first
    // shown tab active, or none when every tab is hidden.
    void SetActiveTab(int32_t index);
    // The active tab, or -1.
    int32_t ActiveTab() const;
    QWidget* ActiveView() const;
    void SetFirstTabLabel(const QString& label);
    QString TabLabel(int32_t index) const;

    QTabBar* TabBar() const { return m_bar; }

    // Hints below 100 repaint the view; the drawing hints of the editing view are not its business.
    void OnUpdate(DocumentObserver* sender, int32_t hint, const Rect* rect) override;

    static constexpr int32_t TabCount = ContentTabCount;

private:
    void OnCurrentChanged(int32_t index);
    // The first shown tab becomes active when the active one is hidden or none is.
    void KeepAShownTabActive();

    QTabBar* m_bar;
    QStackedWidget* m_pages;
    QWidget* m_noPage;
    std::array<QWidget*, TabCount> m_views{};
    // The bar's last tab is never shown: while it is current, no tab is active.
    static constexpr int32_t NoneTab = TabCount;
};
