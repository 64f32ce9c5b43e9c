// The keys of the main window as a person meets them: pressed with the focus wherever the last clicks left
// it, in the real program, and seen in the journal.
#include "WizardWalk.h"

#include "support/JournalRecords.h"

#include "engine/document/CommandId.h"
#include "engine/document/Document.h"
#include "engine/document/JournalKind.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "engine/view/InputBox.h"
#include "library/browser/BubbleTree.h"
#include "library/browser/SceneTree.h"
#include "shell/LayerView.h"
#include "shell/MainFrame.h"
#include "shell/TabView.h"

#include <QApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int OkId = 1;
constexpr int TextTab = 2;

// The wizard at the speech bubbles with one bubble chosen from the browser, and selected.
void WalkToABubble(WizardWalk& walk)
{
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.WalkTo(StepBubble));
    ASSERT_TRUE(walk.AddBubble(0));
    ASSERT_NE(g_document->GetSelectedLayer(), nullptr);
    ASSERT_TRUE(g_document->GetSelectedLayer()->flags & LayerFlagText);
}

// The representative keys of the accelerator table, each seen in the journal: an arrow, Ctrl+], Ctrl+T (the
// Edit Text dialog, typed into and closed with OK), Ctrl+Z, Delete (the question answered Yes) and Ctrl+Z
// again. The dialogs take the keys for a while; the window must get them back.
void PressTheKeys(WizardWalk& walk, Qt::Key arrow)
{
    using Kinds = std::vector<int>;
    const int32_t start = g_document->journal.GetPosition();
    const auto since = [start] { return RecordKinds(g_document->journal, start); };
    ASSERT_TRUE(walk.PressKey(arrow));
    EXPECT_EQ(since(), (Kinds{JournalMove}));
    ASSERT_TRUE(walk.PressKey(Qt::Key_BracketRight, Qt::ControlModifier));
    EXPECT_EQ(since(), (Kinds{JournalMove, JournalRotate}));

    walk.Answer([](QDialog& dialog) {
        QWidget* edit = WizardWalk::Control(dialog, InputBox::EditId);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Hi"));
        WizardWalk::ClickControl(dialog, OkId);
    });
    ASSERT_TRUE(walk.PressKey(Qt::Key_T, Qt::ControlModifier));
    EXPECT_EQ(walk.PendingAnswers(), 0);
    EXPECT_EQ(since(), (Kinds{JournalMove, JournalRotate, JournalSetText}));
    ASSERT_TRUE(walk.PressKey(Qt::Key_Z, Qt::ControlModifier));
    EXPECT_EQ(since(), (Kinds{JournalMove, JournalRotate}));

    const int told = walk.told.size();
    walk.messageReply = QMessageBox::Yes;
    ASSERT_TRUE(walk.PressKey(Qt::Key_Delete));
    EXPECT_EQ(walk.told.size(), told + 1);
    EXPECT_EQ(since(), (Kinds{JournalMove, JournalRotate, JournalMark, JournalSelectLayer, JournalDeleteLayer,
                              JournalMark}));
    ASSERT_TRUE(walk.PressKey(Qt::Key_Z, Qt::ControlModifier));
    EXPECT_EQ(since(), (Kinds{JournalMove, JournalRotate}));
    EXPECT_TRUE(g_document->GetSelectedLayer()->flags & LayerFlagText);
}

// Each pane that can take the focus, and the tab bar and tool bar, which leave it in the browser.
TEST(KeysTest, RegressionTheAcceleratorKeysWorkWhicheverPaneHasTheFocus)
{
    struct Pane {
        const char* name;
        std::function<bool(WizardWalk&)> click;  // after the bubble was chosen by a click on its thumbnail
        bool focusInLayers;                      // else in the bubble browser
        Qt::Key arrow;
    } const panes[] = {
        {"browser", [](WizardWalk&) { return true; }, false, Qt::Key_Left},
        {"layers list", [](WizardWalk& walk) { return walk.ClickLayerRow(g_document->selectedIndex); }, true,
         Qt::Key_Up},
        {"tab bar",
         [](WizardWalk& walk) {
             QTabBar& bar = *walk.Frame().Tabs()->TabBar();
             QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.tabRect(TextTab).center());
             return true;
         },
         false, Qt::Key_Down},
        {"tool bar", [](WizardWalk& walk) { return walk.PressToolButton(CommandId::MoveResize); }, false,
         Qt::Key_Right},
    };
    for (const Pane& pane : panes) {
        SCOPED_TRACE(pane.name);
        WizardWalk walk;
        WalkToABubble(walk);
        ASSERT_TRUE(pane.click(walk));
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QWidget* expected = pane.focusInLayers ? static_cast<QWidget*>(walk.Frame().Layers()->List())
                                               : static_cast<QWidget*>(walk.Frame().Bubbles());
        EXPECT_TRUE(focus == expected || expected->isAncestorOf(focus)) << focus->metaObject()->className();
        PressTheKeys(walk, pane.arrow);
        EXPECT_EQ(walk.told.size(), 1) << walk.told.join('\n').toStdString();  // the Delete question
        walk.End();
    }
}

// At start nothing has the focus: Ctrl+O still opens a project, and after its dialog and the step's tip have
// closed, the keys act on the project's selected bubble at once.
TEST(KeysTest, RegressionTheKeysWorkWithTheFocusNowhereAndAfterEveryDialog)
{
    WizardWalk first;
    WalkToABubble(first);
    const QString project = first.Path(QStringLiteral("bubble.smg"));
    first.Answer([&](QDialog& dialog) { WizardWalk::TypeFileName(dialog, project); });
    ASSERT_TRUE(first.PressKey(Qt::Key_S, Qt::ControlModifier));
    ASSERT_EQ(first.PendingAnswers(), 0);
    first.End();

    WizardWalk walk;
    ASSERT_TRUE(walk.Start());
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    walk.Answer([&](QDialog& dialog) { WizardWalk::TypeFileName(dialog, project); });
    ASSERT_TRUE(walk.PressKey(Qt::Key_O, Qt::ControlModifier));
    ASSERT_EQ(walk.PendingAnswers(), 0);
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->step == StepBubble && WizardWalk::AllLoaded(); }));
    EXPECT_EQ(walk.tips, (QStringList{"Help Tip: tip 1", "Help Tip: tip 2", "Step 7 Help Tip: tip 9"}));
    ASSERT_NE(g_document->GetSelectedLayer(), nullptr);
    ASSERT_TRUE(g_document->GetSelectedLayer()->flags & LayerFlagText);
    // The window is active again after the dialogs (Qt gives its focus to the first pane that Tab reaches).
    EXPECT_EQ(QApplication::activeWindow(), &walk.Frame());
    PressTheKeys(walk, Qt::Key_Left);
    walk.End();
}

// A content browser has no keys of its own: page keys and the ends do not scroll it, and the arrows are the
// window's (taken, and doing nothing while the wizard offers no layer action).
TEST(KeysTest, RegressionTheBrowsersHaveNoKeysOfTheirOwn)
{
    WizardWalk walk;
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.WalkTo(StepSceneChosen));
    TreeView& scenes = *walk.Frame().Scenes();
    ASSERT_TRUE(scenes.isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == &scenes);
    ASSERT_GT(scenes.verticalScrollBar()->maximum(), 0);  // there is somewhere to scroll to
    const int32_t scrolled = scenes.ScrollPosition();
    const int32_t records = g_document->journal.GetPosition();
    for (const Qt::Key key : {Qt::Key_PageDown, Qt::Key_Down, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Up, Qt::Key_Home}) {
        ASSERT_TRUE(walk.PressKey(key));
        EXPECT_EQ(scenes.ScrollPosition(), scrolled) << key;
    }
    EXPECT_EQ(g_document->journal.GetPosition(), records);
}

} // namespace

namespace {

// The window's keys wait for a row drag in the layers panel to end, as they do during a drag in the
// editing view: an arrow, Delete and Ctrl+Z pressed while the row is held do nothing, and the drag ends
// as one reorder.
TEST(KeysTest, RegressionTheKeysDoNothingDuringARowDragInTheLayersList)
{
    WizardWalk walk;
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.WalkTo(StepAccessories));
    ASSERT_TRUE(walk.AddAccessory(0));
    ASSERT_TRUE(walk.AddAccessory(1));
    const int32_t last = g_document->layers.GetCount() - 1;
    ASSERT_TRUE(walk.ClickLayerRow(last));
    const QString moved = g_document->layers.GetAt(last)->name;
    const int32_t start = g_document->journal.GetPosition();
    walk.messageReply = QMessageBox::Yes;

    LayerView& panel = *walk.Frame().Layers();
    QTreeWidget& list = *panel.List();
    QWidget* viewport = list.viewport();
    const QPoint from = list.visualItemRect(list.topLevelItem(last)).center();
    const QPoint to = list.visualItemRect(list.topLevelItem(last - 1)).center();
    QTest::mouseMove(viewport, from);
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QTest::mouseMove(viewport, from + QPoint(0, -QApplication::startDragDistance() - 1));
    ASSERT_TRUE(panel.IsDragging());
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Left, Qt::NoModifier}, {Qt::Key_Up, Qt::NoModifier},
                                         {Qt::Key_Delete, Qt::NoModifier}, {Qt::Key_Z, Qt::ControlModifier}}) {
        ASSERT_TRUE(walk.PressKey(key, modifiers));
        EXPECT_TRUE(panel.IsDragging()) << key;
        EXPECT_EQ(g_document->journal.GetPosition(), start) << key;
    }
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    EXPECT_FALSE(panel.IsDragging());
    EXPECT_EQ(RecordKinds(g_document->journal, start), std::vector<int>{JournalReorder});
    EXPECT_EQ(g_document->layers.GetAt(last - 1)->name, moved);
    EXPECT_EQ(g_document->selectedIndex, last - 1);
    EXPECT_TRUE(walk.told.isEmpty()) << walk.told.join('\n').toStdString();  // no Delete question
    // The keys are the window's again.
    ASSERT_TRUE(walk.PressKey(Qt::Key_Z, Qt::ControlModifier));
    EXPECT_EQ(g_document->journal.GetPosition(), start);
    walk.End();
}

} // namespace
