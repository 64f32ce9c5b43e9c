#pragma once

#include "engine/document/ShellLink.h"
#include "platform/DocumentObserver.h"

#include <QWidget>
#include <array>
#include <cstdint>

class QStackedWidget;
class QTabBar;

// The content tabs of the right-hand column: 0 "Scenes" (or "Faces"), 1 "Accessories", 2 "Text",
// 3 "Export", whose pages the main window adds. Tabs are shown and hidden without being activated, and
// any tab, or none, can be the active one: with none active no page is shown.
class TabView final : public QWidget, public DocumentObserver {
public:
    explicit TabView(QWidget* parent = nullptr);

    // Puts page in as tab index (0 to 3), labelled; the view takes it as its child. False for another
    // index or a tab that has its page already.
    bool AddView(QWidget* page, const QString& label, int32_t index);
    QWidget* Page(int32_t index) const;

    // Shows or hides the tab; the active tab stays active, and a hidden active tab leaves none active.
    void ShowTab(int32_t index, bool show);
    bool IsTabShown(int32_t index) const;
    // Makes the tab active (its page shown); -1, or a tab that does not exist, makes none active.
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

    QTabBar* m_bar;
    QStackedWidget* m_pages;
    QWidget* m_noPage;
    std::array<QWidget*, TabCount> m_views{};
    // The bar's last tab is never shown: while it is current, no tab is active.
    static constexpr int32_t NoneTab = TabCount;
};
