#include "ShellTestSupport.h"

#include "shell/PaneSplitters.h"
#include "shell/Splitter.h"
#include "shell/TabView.h"

#include <QLabel>
#include <QSplitterHandle>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <functional>

namespace {

// Drags the splitter's bar before pane index by dx pixels with the mouse. QTest gives each event to the
// widget named, in its coordinates: the bar moves under the mouse, so each point is taken afresh.
void DragBar(Splitter& splitter, int index, int dx)
{
    QSplitterHandle* bar = splitter.handle(index);
    const QPoint from = bar->mapToGlobal(bar->rect().center());
    const auto at = [bar](QPoint global) { return bar->mapFromGlobal(global); };
    QTest::mouseMove(bar, at(from));
    QTest::mousePress(bar, Qt::LeftButton, {}, at(from));
    QTest::mouseMove(bar, at(from + QPoint(dx / 2, 0)));
    QTest::mouseMove(bar, at(from + QPoint(dx, 0)));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, at(from + QPoint(dx, 0)));
}

// A main window's client area: the editing view beside the tabs over the layers panel.
class PaneSplittersTest : public ::testing::Test {
protected:
    PaneSplittersTest()
    {
        auto* layout = new QVBoxLayout(&frame);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(&panes.Outer());
        frame.resize(800, 540);
        ShowAndExpose(frame);
    }

    int Inside() const { return panes.Outer().InsideSize(); }
    int Column() const { return panes.Outer().sizes().value(1); }

    QWidget frame;
    QLabel* view = new QLabel(QStringLiteral("editing view"));
    QLabel* tabs = new QLabel(QStringLiteral("tabs"));
    QLabel* layers = new QLabel(QStringLiteral("layers"));
    PaneSplitters panes{*view, *tabs, *layers, &frame};
};

TEST_F(PaneSplittersTest, TheColumnHiddenAtStartKeepsItsWidthOnceShownWhenTheWindowIsResized)
{
    EXPECT_FALSE(panes.IsRightColumnShown());
    EXPECT_TRUE(panes.Outer().IsLocked());
    EXPECT_FALSE(panes.Inner().isVisible());
    EXPECT_EQ(view->width(), frame.width());
    EXPECT_NE(panes.Outer().handle(1)->cursor().shape(), Qt::SplitHCursor);
    panes.ShowRightColumn();
    EXPECT_EQ(Column(), PaneSplitters::RightColumnWidth);
    EXPECT_EQ(panes.Inner().sizes().value(0), PaneSplitters::TabViewHeight);
    EXPECT_EQ(panes.Outer().handle(1)->cursor().shape(), Qt::SplitHCursor);
    for (const QSize size : {QSize(1000, 700), QSize(640, 480), QSize(801, 600)}) {
        frame.resize(size);
        EXPECT_EQ(Column(), PaneSplitters::RightColumnWidth) << size.width();
        EXPECT_EQ(view->width() + panes.Outer().handleWidth() + Column(), Inside());
        EXPECT_EQ(panes.Inner().sizes().value(0), PaneSplitters::TabViewHeight);
    }
}

TEST_F(PaneSplittersTest, ADraggedWidthSurvivesResizesAndHiding)
{
    panes.ShowRightColumn();
    DragBar(panes.Outer(), 1, -50);
    EXPECT_EQ(Column(), PaneSplitters::RightColumnWidth + 50);
    frame.resize(1000, 600);
    EXPECT_EQ(Column(), PaneSplitters::RightColumnWidth + 50);

    panes.HideRightColumn();
    EXPECT_EQ(view->width(), Inside());
    panes.HideRightColumn();  // twice in a row: the saved width stays
    frame.resize(900, 600);
    panes.ShowRightColumn();
    EXPECT_EQ(Column(), PaneSplitters::RightColumnWidth + 50);
    panes.ShowRightColumn();
    EXPECT_EQ(Column(), PaneSplitters::RightColumnWidth + 50);
}

TEST(SplitterTest, ALockedBarIgnoresTheMouse)
{
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    Splitter* splitter = new Splitter(Qt::Horizontal);
    layout->addWidget(splitter);
    splitter->addWidget(new QLabel(QStringLiteral("left")));
    splitter->addWidget(new QLabel(QStringLiteral("right")));
    splitter->SetIdealSize(0, 200);
    host.resize(600, 200);
    ShowAndExpose(host);
    const QList<int> before = splitter->sizes();
    EXPECT_EQ(before.value(0), 200);

    splitter->SetLocked(true);
    DragBar(*splitter, 1, 60);
    EXPECT_EQ(splitter->sizes(), before);
    EXPECT_EQ(splitter->handle(1)->cursor().shape(), Qt::ArrowCursor);

    splitter->SetLocked(false);
    EXPECT_EQ(splitter->handle(1)->cursor().shape(), Qt::SplitHCursor);
    DragBar(*splitter, 1, 60);
    EXPECT_EQ(splitter->sizes().value(0), 260);
    EXPECT_EQ(splitter->IdealSize(0), 260);
    // Without width keeping the first pane keeps its size and the last takes the rest.
    host.resize(700, 200);
    EXPECT_EQ(splitter->sizes().value(0), 260);
}

class TabViewTest : public ::testing::Test {
protected:
    TabViewTest()
    {
        const char* labels[] = {"Scenes", "Accessories", "Text", "Export"};
        for (int i = 0; i < TabView::TabCount; ++i) {
            pages[i] = new QLabel(QString::fromLatin1(labels[i]) + QStringLiteral(" page"));
            EXPECT_TRUE(tabs.AddView(pages[i], QString::fromLatin1(labels[i]), i));
        }
        tabs.resize(225, 370);
    }
    // The page the view shows, or null.
    QWidget* ShownPage() const
    {
        for (QWidget* page : pages) {
            if (page->isVisible())
                return page;
        }
        return nullptr;
    }

    TabView tabs;
    QWidget* pages[TabView::TabCount] = {};
};

TEST_F(TabViewTest, AShownTabIsNeverLeftWithoutItsPage)
{
    ShowAndExpose(tabs);
    EXPECT_EQ(tabs.ActiveTab(), -1);  // adding pages activates none
    EXPECT_FALSE(tabs.AddView(new QLabel, QStringLiteral("again"), 1));
    tabs.SetActiveTab(0);
    EXPECT_EQ(ShownPage(), pages[0]);

    struct Case {
        const char* what;
        std::function<void()> act;
        int active;  // and its page shown; -1: none
    };
    const Case cases[] = {
        {"others hidden and shown", [&] { tabs.ShowTab(1, false); tabs.ShowTab(2, false); tabs.ShowTab(3, true); }, 0},
        {"the active tab hidden", [&] { tabs.ShowTab(0, false); }, 3},
        {"every tab hidden", [&] { tabs.ShowTab(3, false); }, -1},
        {"none asked for, none shown", [&] { tabs.SetActiveTab(-1); }, -1},
        {"the only tab shown again", [&] { tabs.ShowTab(3, true); }, 3},
        {"none asked for, one shown", [&] { tabs.SetActiveTab(-1); }, 3},
        {"a hidden tab asked for", [&] { tabs.ShowTab(1, true); tabs.SetActiveTab(2); }, 1},
        {"a shown tab asked for", [&] { tabs.SetActiveTab(3); }, 3},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(tabs.ActiveTab(), c.active) << c.what;
        EXPECT_EQ(ShownPage(), c.active < 0 ? nullptr : pages[c.active]) << c.what;
    }
    SaveGrab(tabs, "tabs-export-active");

    // A click on a tab makes it active.
    QTest::mouseClick(tabs.TabBar(), Qt::LeftButton, {}, tabs.TabBar()->tabRect(1).center());
    EXPECT_EQ(tabs.ActiveTab(), 1);
    EXPECT_EQ(ShownPage(), pages[1]);
    EXPECT_EQ(tabs.ActiveView(), pages[1]);
    tabs.SetFirstTabLabel(QStringLiteral("Faces"));
    EXPECT_EQ(tabs.TabLabel(0), QStringLiteral("Faces"));
}

// Counts the paint events of a widget.
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

TEST_F(TabViewTest, HintsBelowOneHundredRepaint)
{
    ShowAndExpose(tabs);
    QCoreApplication::processEvents();
    PaintCounter counter;
    tabs.installEventFilter(&counter);
    tabs.OnUpdate(nullptr, 100, nullptr);
    tabs.OnUpdate(nullptr, 101, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    tabs.OnUpdate(nullptr, 0, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
}

} // namespace
