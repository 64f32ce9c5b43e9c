#include "ShellTestSupport.h"

#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/document/JournalKind.h"
#include "engine/layers/LayerKind.h"
#include "platform/ui/DocumentPromptBoxes.h"
#include "shell/LayerView.h"
#include "shell/StepBar.h"
#include "support/JournalRecords.h"
#include "support/ScopedAppPaths.h"
#include "support/TestLayer.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <utility>

namespace {

class LayerViewTest : public ::testing::Test {
protected:
    LayerViewTest()
    {
        document.SetPrompts(&prompts);
        document.step = 15;
        view->resize(240, 240);
        ShowAndExpose(host);
    }

    void AddLayer(const QString& name, int32_t flags)
    {
        auto* layer = new TestLayer(flags, 0);
        layer->name = name;
        layer->LinkBefore(&document.layers);
        document.RefreshLayerView();
    }
    void AddLayers(const QStringList& names)
    {
        for (const QString& name : names)
            AddLayer(name, LayerFlagsFace);
    }

    QStringList DocumentNames() const
    {
        QStringList names;
        for (int32_t i = 0; i < document.layers.GetCount(); ++i)
            names << document.layers.GetAt(i)->name;
        return names;
    }
    QStringList RowTexts() const
    {
        QStringList texts;
        for (int i = 0; i < view->List()->topLevelItemCount(); ++i)
            texts << view->List()->topLevelItem(i)->text(0);
        return texts;
    }
    int SelectedRow() const
    {
        const QList<QTreeWidgetItem*> selected = view->List()->selectedItems();
        return selected.size() == 1 ? view->List()->indexOfTopLevelItem(selected.first()) : -1;
    }

    QWidget* Viewport() const { return view->List()->viewport(); }
    QPoint RowCentre(int row) const
    {
        return view->List()->visualItemRect(view->List()->topLevelItem(row)).center();
    }
    // The pointer goes there first: the selection veto looks at the row under the pointer.
    void Press(int row)
    {
        QTest::mouseMove(Viewport(), RowCentre(row));
        QTest::mousePress(Viewport(), Qt::LeftButton, {}, RowCentre(row));
    }
    void MoveTo(QPoint point) { QTest::mouseMove(Viewport(), point); }
    void Release(QPoint point) { QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, point); }
    void Click(int row)
    {
        Press(row);
        Release(RowCentre(row));
    }
    void Drag(int from, int to)
    {
        Press(from);
        MoveTo(RowCentre(from) + QPoint(0, to >= from ? 8 : -8));
        MoveTo(RowCentre(to));
        Release(RowCentre(to));
    }

    ScopedAppPaths paths;
    TempSettings stores;
    platform::DocumentPromptBoxes prompts{QStringLiteral("Snapmingle")};
    Document document;
    ModalPerson person;
    QWidget host;
    StepBar* bar = new StepBar(stores.settings, &host);
    LayerView* view = new LayerView(document, stores.settings, &host);
};

TEST_F(LayerViewTest, LaysOutItsButtonsAndList)
{
    AddLayer("Scene", LayerFlagsScenePhoto);
    AddLayer("Face 1", LayerFlagsFace);
    AddLayer("Hat 1", LayerFlagsAccessory);
    Click(1);
    SaveGrab(*view, "layers");
    EXPECT_EQ(RowTexts(), (QStringList{"Scene", "Face 1", "Hat 1"}));
    EXPECT_EQ(g_layerView, view);
    EXPECT_EQ(view->List()->headerItem()->text(0), QStringLiteral("Layers"));
    EXPECT_EQ(view->UpButton()->geometry(), QRect(0, 0, 80, 32));
    EXPECT_EQ(view->DownButton()->geometry(), QRect(80, 0, 80, 32));
    EXPECT_EQ(view->DeleteButton()->geometry(), QRect(160, 0, 80, 32));
    EXPECT_EQ(view->List()->geometry(), QRect(0, 33, 240, 207));
    EXPECT_EQ(view->UpButton()->toolTip(), QStringLiteral("Move layer up"));
    EXPECT_EQ(view->DownButton()->toolTip(), QStringLiteral("Move layer down"));
    EXPECT_EQ(view->DeleteButton()->toolTip(), QStringLiteral("Delete layer"));
    EXPECT_EQ(view->DeleteButton()->iconSize(), QSize(26, 28));
    view->resize(301, 200);
    EXPECT_EQ(view->DeleteButton()->geometry(), QRect(200, 0, 101, 32));
}

TEST_F(LayerViewTest, ButtonsFollowTheStepTheViewModeAndTheSelection)
{
    AddLayers({"Face 1", "Face 2", "Face 3"});
    struct Row {
        int32_t step, mode, selected;
        bool up, down, del;
    };
    const Row rows[] = {
        {9, ViewModeAllLayers, 1, false, false, false},    {10, ViewModeAllLayers, 0, false, true, true},
        {10, ViewModeAllLayers, 1, true, true, true},      {15, ViewModeAllLayers, 2, true, false, true},
        {12, ViewModeAllLayers, -1, false, false, false},  {12, ViewModeCropLayer, 1, false, false, false},
        {15, ViewModePaintLayer, 1, false, false, false},
    };
    for (const Row& row : rows) {
        document.step = row.step;
        document.viewMode = row.mode;
        document.selectedIndex = row.selected;
        view->SelectLayer(row.selected);
        EXPECT_EQ(view->UpButton()->isEnabled(), row.up) << row.step << " " << row.selected;
        EXPECT_EQ(view->DownButton()->isEnabled(), row.down) << row.step << " " << row.selected;
        EXPECT_EQ(view->DeleteButton()->isEnabled(), row.del) << row.step << " " << row.selected;
    }
}

// A project being read has its stored state and selection before any layer is there, and an emptied
// document had its rows still listed: the buttons stood enabled over a list with nothing to move.
TEST_F(LayerViewTest, RegressionNoButtonStandsEnabledOverAnEmptyList)
{
    AddLayers({"Face 1", "Face 2", "Face 3"});
    document.step = StepFinish;
    document.viewMode = ViewModeAllLayers;
    document.selectedIndex = 1;
    document.RefreshLayerView();
    ASSERT_TRUE(view->UpButton()->isEnabled() && view->DownButton()->isEnabled() && view->DeleteButton()->isEnabled());

    document.DeleteContents();
    EXPECT_EQ(view->List()->topLevelItemCount(), 0);
    EXPECT_FALSE(view->UpButton()->isEnabled() || view->DownButton()->isEnabled() || view->DeleteButton()->isEnabled());

    document.step = StepFinish;  // as a project's head sets them, before its layers are read
    document.selectedIndex = 1;
    document.RefreshLayerView();
    EXPECT_FALSE(view->UpButton()->isEnabled() || view->DownButton()->isEnabled() || view->DeleteButton()->isEnabled());
}

TEST_F(LayerViewTest, ClicksSelectFromStepTenWhereTheDocumentAllows)
{
    AddLayer("Scene", LayerFlagsScenePhoto);
    AddLayer("Face 1", LayerFlagsFace);
    AddLayer("Hat 1", LayerFlagsAccessory);

    document.step = 8;  // the document would take a face, the panel takes nothing before step 10
    Click(1);
    QTest::keyClick(view->List(), Qt::Key_Down);
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_EQ(document.selectedIndex, -1);

    document.step = 12;  // accessories only
    Click(1);
    EXPECT_EQ(SelectedRow(), -1);
    Click(2);
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(document.selectedIndex, 2);
    EXPECT_EQ(RecordKinds(document.journal), std::vector<int>{JournalSelectLayer});
    Click(0);  // refused: the accessory stays selected
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(document.journal.GetPosition(), JournalSelectLayerSize);
}

TEST_F(LayerViewTest, RegressionARefusedClickOrKeyMovesTheFocusRow)
{
    AddLayer("Scene", LayerFlagsScenePhoto);
    AddLayer("Face 1", LayerFlagsFace);
    AddLayer("Hat 1", LayerFlagsAccessory);
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    const auto currentRow = [&] { return view->List()->indexOfTopLevelItem(view->List()->currentItem()); };

    // Each act in turn; a key goes to whatever has the focus after the clicks before it.
    struct Act {
        const char* what;
        int32_t step;
        int clickRow;  // -1: no click
        Qt::Key key;   // Qt::Key_unknown: no key
        int current, selected;  // rows afterwards, -1 for none
    } const acts[] = {
        {"a click before step 10", 8, 1, Qt::Key_unknown, -1, -1},
        {"a key before step 10", 8, -1, Qt::Key_Down, -1, -1},
        {"a click on an accessory at step 12", 12, 2, Qt::Key_unknown, 2, 2},
        {"a click on the scene at step 12", 12, 0, Qt::Key_unknown, 2, 2},
        {"a key with the pointer on the scene", 12, -1, Qt::Key_Up, 2, 2},
        {"a key with the pointer on the face", 12, -1, Qt::Key_Home, 2, 2},
    };
    for (const Act& act : acts) {
        document.step = act.step;
        if (act.clickRow >= 0) {
            Click(act.clickRow);
        } else {
            MoveTo(RowCentre(act.key == Qt::Key_Home ? 1 : 0));
            ASSERT_NE(QApplication::focusWidget(), nullptr) << act.what;
            QTest::keyClick(QApplication::focusWidget(), act.key);
        }
        EXPECT_EQ(currentRow(), act.current) << act.what;
        EXPECT_EQ(SelectedRow(), act.selected) << act.what;
    }
    EXPECT_EQ(QApplication::focusWidget(), view->List());
    EXPECT_EQ(document.selectedIndex, 2);
}

TEST_F(LayerViewTest, RegressionDisabledButtonsShowTheirPicturesInFullColour)
{
    AddLayers({"Face 1", "Face 2"});
    // The arrows are green and the cross red: a coloured pixel's strongest channel is well above its weakest.
    const auto colouredPixels = [](QPushButton& button) {
        const QImage grab = button.grab().toImage();
        int coloured = 0;
        for (int y = 0; y < grab.height(); ++y) {
            for (int x = 0; x < grab.width(); ++x) {
                const QRgb p = grab.pixel(x, y);
                coloured += std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)}) > 60;
            }
        }
        return coloured;
    };
    struct Case {
        int32_t selected;
        bool upEnabled, downEnabled;
    } const cases[] = {{0, false, true}, {1, true, false}, {-1, false, false}};
    for (const Case& c : cases) {
        document.selectedIndex = c.selected;
        view->SelectLayer(c.selected);
        const std::pair<QPushButton*, bool> buttons[] = {{view->UpButton(), c.upEnabled},
                                                         {view->DownButton(), c.downEnabled}};
        for (const auto& [button, enabled] : buttons) {
            ASSERT_EQ(button->isEnabled(), enabled) << c.selected;
            if (enabled)
                EXPECT_GT(colouredPixels(*button), 100) << c.selected;
            else
                EXPECT_EQ(colouredPixels(*button), 0) << c.selected;
        }
    }
    EXPECT_FALSE(view->DeleteButton()->isEnabled());
    EXPECT_EQ(colouredPixels(*view->DeleteButton()), 0);
}

TEST_F(LayerViewTest, ADragReordersAsOneRecord)
{
    AddLayers({"A", "B", "C", "D"});
    Click(0);
    Press(0);
    MoveTo(RowCentre(0) + QPoint(0, -40));  // above row 0: nothing
    EXPECT_EQ(RowTexts(), (QStringList{"A", "B", "C", "D"}));
    MoveTo(RowCentre(3));
    EXPECT_EQ(RowTexts(), (QStringList{"B", "C", "D", "A"}));  // the texts follow the mouse
    MoveTo(RowCentre(0));
    Release(RowCentre(0));  // back where it began: nothing recorded
    EXPECT_EQ(RecordKinds(document.journal), std::vector<int>{JournalSelectLayer});
    Drag(0, 2);
    EXPECT_FALSE(view->IsDragging());
    EXPECT_EQ(DocumentNames(), (QStringList{"B", "C", "A", "D"}));
    EXPECT_EQ(RowTexts(), DocumentNames());
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(document.selectedIndex, 2);
    EXPECT_EQ(RecordKinds(document.journal), (std::vector<int>{JournalSelectLayer, JournalReorder}));
    document.journal.Undo();
    EXPECT_EQ(DocumentNames(), (QStringList{"A", "B", "C", "D"}));
    EXPECT_EQ(RowTexts(), DocumentNames());

    // Below a list shorter than its page the row stays last, and a release there is recorded.
    const QPoint below(10, Viewport()->height() + 30);
    Press(0);
    MoveTo(RowCentre(3));
    MoveTo(below);
    EXPECT_EQ(RowTexts(), (QStringList{"B", "C", "D", "A"}));
    Release(below);
    EXPECT_EQ(DocumentNames(), (QStringList{"B", "C", "D", "A"}));
    EXPECT_EQ(RecordKinds(document.journal).back(), JournalReorder);
}

TEST_F(LayerViewTest, RegressionALostMouseGrabEndsTheDragWithoutARecord)
{
    AddLayers({"A", "B", "C", "D"});
    QWidget other(&host);
    other.setGeometry(0, 0, 10, 10);
    other.show();
    const std::vector<std::pair<const char*, std::function<void()>>> losses = {
        {"focus", [&] {
             QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
             QCoreApplication::sendEvent(view->List(), &out);
         }},
        {"hide", [&] { view->hide(); }},
        {"another grab", [&] {
             other.grabMouse();
             QTest::mouseMove(&other, QPoint(5, 5));
             other.releaseMouse();
         }},
    };
    Click(0);
    for (const auto& [name, lose] : losses) {
        view->show();
        Press(0);
        MoveTo(RowCentre(2));
        ASSERT_TRUE(view->IsDragging()) << name;
        ASSERT_EQ(QWidget::mouseGrabber(), Viewport()) << name;
        lose();
        EXPECT_FALSE(view->IsDragging()) << name;
        EXPECT_NE(QWidget::mouseGrabber(), Viewport()) << name;
        EXPECT_EQ(RowTexts(), (QStringList{"A", "B", "C", "D"})) << name;
        EXPECT_EQ(SelectedRow(), 0) << name;
        Release(RowCentre(2));  // a release that comes afterwards records nothing either
        EXPECT_EQ(RecordKinds(document.journal), std::vector<int>{JournalSelectLayer}) << name;
    }
}

TEST_F(LayerViewTest, RegressionTheDragMovesThePressedRow)
{
    AddLayers({"A", "B", "C", "D"});
    Click(0);
    Drag(2, 3);  // the press selects C first; the drag moves C, not the earlier selection
    EXPECT_EQ(DocumentNames(), (QStringList{"A", "B", "D", "C"}));
    EXPECT_EQ(RecordKinds(document.journal),
              (std::vector<int>{JournalSelectLayer, JournalSelectLayer, JournalReorder}));

    // A row the document refuses is neither selected nor dragged.
    document.step = 12;
    document.layers.GetAt(0)->flags = LayerFlagsAccessory;
    Click(0);
    const size_t before = RecordKinds(document.journal).size();
    Drag(1, 2);
    EXPECT_FALSE(view->IsDragging());
    EXPECT_EQ(DocumentNames(), (QStringList{"A", "B", "D", "C"}));
    EXPECT_EQ(RecordKinds(document.journal).size(), before);
}

TEST_F(LayerViewTest, UpDownAndDeleteGoThroughTheJournal)
{
    AddLayers({"Face 1", "Face 2", "Face 3"});
    Click(1);
    QTest::mouseClick(view->UpButton(), Qt::LeftButton);
    EXPECT_EQ(DocumentNames(), (QStringList{"Face 2", "Face 1", "Face 3"}));
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_FALSE(view->UpButton()->isEnabled());
    QTest::mouseClick(view->DownButton(), Qt::LeftButton);
    QTest::mouseClick(view->DownButton(), Qt::LeftButton);
    EXPECT_EQ(DocumentNames(), (QStringList{"Face 1", "Face 3", "Face 2"}));
    EXPECT_FALSE(view->DownButton()->isEnabled());

    QStringList asked;
    int reply = QMessageBox::No;
    person.otherDialogs = nullptr;
    const platform::ModalHost::ScopedAnswerer answerer([&](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        asked << box.windowTitle() + ": " + box.text();
        EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
        return reply;
    });
    const size_t before = RecordKinds(document.journal).size();
    QTest::mouseClick(view->DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(DocumentNames().size(), 3);
    EXPECT_EQ(RecordKinds(document.journal).size(), before);
    reply = QMessageBox::Yes;
    QTest::mouseClick(view->DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(asked, (QStringList{"Snapmingle: Delete the layer \"Face 2\"?",
                                  "Snapmingle: Delete the layer \"Face 2\"?"}));
    // The front-most went: the one behind it takes the selection.
    EXPECT_EQ(DocumentNames(), (QStringList{"Face 1", "Face 3"}));
    EXPECT_EQ(RowTexts(), DocumentNames());
    EXPECT_EQ(document.selectedIndex, 1);
    EXPECT_EQ(SelectedRow(), 1);
    const std::vector<int> kinds = RecordKinds(document.journal);
    EXPECT_EQ(std::vector<int>(kinds.end() - 4, kinds.end()),
              (std::vector<int>{JournalMark, JournalSelectLayer, JournalDeleteLayer, JournalMark}));
    document.journal.Undo();
    EXPECT_EQ(DocumentNames(), (QStringList{"Face 1", "Face 3", "Face 2"}));
}

TEST_F(LayerViewTest, RegressionTheStartPromptComesOnceAtTheFirstSizeChange)
{
    document.step = 0;
    int resized = 0;
    person.duringTip = [&](Tutor&) { view->resize(200 + ++resized, 230); };  // the tip's loop lays out again
    view->resize(230, 230);
    EXPECT_EQ(bar->Text(), QStringLiteral("Please press Start."));
    EXPECT_EQ(bar->Step(), 0);
    EXPECT_EQ(person.shown, (QStringList{"Help Tip: tip 1", "Help Tip: tip 2"}));
    EXPECT_GT(resized, 0);
    view->resize(220, 230);
    EXPECT_EQ(person.runs, 1);
}

TEST_F(LayerViewTest, AHiddenPanelPromptsWhenAsked)
{
    document.step = 0;
    view->hide();
    view->resize(200, 200);  // no size change reaches a hidden panel
    EXPECT_EQ(person.runs, 0);
    view->ShowStartPrompt();
    EXPECT_EQ(person.runs, 1);
    EXPECT_TRUE(document.startPromptShown);
    view->ShowStartPrompt();
    EXPECT_EQ(person.runs, 1);

    // With the tips off the step bar still prompts.
    bar->SetStep(3, true);
    document.startPromptShown = false;
    stores.settings.SetTutorialOff(1);
    view->ShowStartPrompt();
    EXPECT_EQ(bar->Text(), QStringLiteral("Please press Start."));
    EXPECT_EQ(person.runs, 1);
}

} // namespace
