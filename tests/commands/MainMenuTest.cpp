#include "CommandsFixture.h"

#include "support/TestPictures.h"

#include "engine/document/CommandId.h"
#include "engine/document/JournalKind.h"
#include "platform/ui/CommandReceiver.h"
#include "shell/MainMenu.h"
#include "support/PointNear.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A main window with the real menu and keys: a focusable widget stands for the editing view, beside a
// text field of another pane. The application's commands are stood in for by a receiver of its own.
class MainMenuTest : public CommandsTest {
protected:
    MainMenuTest()
    {
        auto* central = new QWidget(&window);
        auto* layout = new QVBoxLayout(central);
        view = new QWidget(central);
        view->setFocusPolicy(Qt::StrongFocus);
        view->setMinimumSize(200, 150);
        field = new QLineEdit(QStringLiteral("hello"), central);
        layout->addWidget(view);
        layout->addWidget(field);
        window.setCentralWidget(central);
        InstallMainMenu(*window.menuBar(), router, window);
        window.resize(800, 600);  // the main window's size: every menu title fits

        application.On(CommandId::NewProject, [] {});
        application.On(CommandId::OpenProject, [] {});
        application.On(CommandId::About, [] {});
        application.OnRange(CommandId::RecentFileFirst, CommandId::RecentFileLast, [](int32_t) {});
        application.OnUpdateRange(CommandId::RecentFileFirst, CommandId::RecentFileLast, [this](platform::CommandUI& ui) {
            const int slot = ui.Id() - CommandId::RecentFileFirst;
            ui.Enable(slot < recentFiles.size());
            if (slot < recentFiles.size())
                ui.SetText(QStringLiteral("&%1 %2").arg(slot + 1).arg(recentFiles[slot]));
        });

        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(view, Qt::LeftButton);  // the editing view takes the focus as a click gives it
    }

    void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(target, key, modifiers);
    }

    // Opens the menu with a click on its title, as a person does, and lists what it shows: the entries
    // between " / ", "-" a separator, with [disabled] and [checked] marks; hidden entries left out.
    QString Open(const QString& title)
    {
        QMenuBar* bar = window.menuBar();
        QMenu* menu = nullptr;
        for (QAction* action : bar->actions()) {
            if (action->text() == title)
                menu = action->menu();
        }
        if (!menu)
            return QStringLiteral("no menu ") + title;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(menu)) << title.toStdString();
        const QString name = title.mid(1).toLower();
        SaveForALook(menu->grab().toImage(), QStringLiteral("menu-") + name);
        QStringList lines;
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator()) {
                lines << QStringLiteral("-");
            } else if (action->isVisible()) {
                lines << action->text().replace(u'\t', u'|') + (action->isEnabled() ? "" : " [disabled]") +
                             (action->isChecked() ? " [checked]" : "");
            }
        }
        QTest::keyClick(menu, Qt::Key_Escape);
        EXPECT_FALSE(menu->isVisible());
        return lines.join(QStringLiteral(" / "));
    }

    platform::CommandReceiver application{router, platform::CommandStage::Application};
    QStringList recentFiles;
    QMainWindow window;
    QWidget* view = nullptr;
    QLineEdit* field = nullptr;
};

TEST_F(MainMenuTest, MenusShowTheirTextsEnablingAndCheckMarks)
{
    SelectedFace();
    EXPECT_EQ(Open("&File"), "&New Project|Ctrl+N / &Open Project...|Ctrl+O / &Save Project|Ctrl+S [disabled] / "
                             "Save Project &As... / - / Save &Picture... / Sen&d... / - / Recent File [disabled] / - / "
                             "E&xit [disabled]");  // the main window's own
    // Next Step's enabling names it by the state.
    EXPECT_EQ(Open("&Edit"), "&Undo|Ctrl+Z [disabled] / &Redo|Ctrl+Y [disabled] / - / Done [disabled]");
    EXPECT_EQ(Open("&View"), "&All Layers [checked] / &Crop Layer / &Paint Layer");
    EXPECT_EQ(Open("&Layer"), "Change &Size / Increase Size|Ctrl+Plus / Decrease Size|Ctrl+Minus / - / "
                              "Change &Position / Move Left|Ctrl+Left Arrow / Move Right|Ctrl+Right Arrow / "
                              "Move Up|Ctrl+Up Arrow / Move Down|Ctrl+Down Arrow / - / Change &Rotation / "
                              "Rotate Left|Ctrl+[ / Rotate Right|Ctrl+] / - / Smaller Brush / Larger Brush / - / "
                              "Edit &Text|Ctrl+T [disabled] / Change &Color|Ctrl+A / &Flip|Ctrl+F / - / &Delete");
    EXPECT_EQ(Open("&Tools"), "&Crop|Ctrl+C / &Move / Resize|Ctrl+M [checked] / &Rotate|Ctrl+R / &Paint|Ctrl+P / "
                              "&Erase|Ctrl+E / Magic Erase / - / &Lock Resize Ratio|Ctrl+L [checked]");
    // The web pages are the main window's own.
    EXPECT_EQ(Open("&Help"), "Enable Help Tips [checked] / - / Online Help [disabled] / "
                             "Visit Snapmingle Site [disabled] / - / &About Snapmingle...");

    // The scene photo selected: the tool is parked and its check mark goes when the menu opens; the
    // face selected again brings it back.
    document.selectedIndex = 0;
    EXPECT_TRUE(Open("&Tools").startsWith("&Crop|Ctrl+C [disabled] / &Move / Resize|Ctrl+M [disabled] / "));
    EXPECT_EQ(document.tool, -ToolMoveResize);
    document.selectedIndex = 1;
    EXPECT_TRUE(Open("&Tools").contains(" / &Move / Resize|Ctrl+M [checked] / "));
    EXPECT_EQ(document.tool, ToolMoveResize);
}

TEST_F(MainMenuTest, RecentFilesShowTheListOrOneDisabledEntry)
{
    // The list comes and goes with the files; between the second and the last separator.
    const std::pair<QStringList, QString> rows[] = {{{}, "Recent File [disabled]"},
                                                    {{"a.smg", "b.smg"}, "&1 a.smg / &2 b.smg"},
                                                    {{"c.smg"}, "&1 c.smg"},
                                                    {{}, "Recent File [disabled]"}};
    for (const auto& [files, shown] : rows) {
        recentFiles = files;
        EXPECT_EQ(Open("&File").section(" / - / ", 2, 2), shown) << files.join(u' ').toStdString();
    }
}

TEST_F(MainMenuTest, KeysOfTheAcceleratorTableAndArrowsActOnTheLayer)
{
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        PointF position;  // after the key
        PointF scale;
        Angle angle;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier,
                                keypad = Qt::ControlModifier | Qt::KeypadModifier;
    const Row rows[] = {
        {Qt::Key_Left, none, {-1, 0}, {1, 1}, 0},  // one pixel a press
        {Qt::Key_Right, none, {0, 0}, {1, 1}, 0},
        {Qt::Key_Right, none, {1, 0}, {1, 1}, 0},
        {Qt::Key_Down, none, {1, 1}, {1, 1}, 0},
        {Qt::Key_Down, none, {1, 2}, {1, 1}, 0},
        {Qt::Key_Up, none, {1, 1}, {1, 1}, 0},
        {Qt::Key_Left, ctrl, {1, 1}, {1, 1}, 0},  // the menu text's key is not the accelerator's
        {Qt::Key_BracketRight, ctrl, {1, 1}, {1, 1}, 182},
        {Qt::Key_BracketLeft, ctrl, {1, 1}, {1, 1}, 0},
        {Qt::Key_Plus, keypad, {1, 1}, {1.1f, 1.1f}, 0},
        {Qt::Key_Equal, ctrl, {1, 1}, {1.2f, 1.2f}, 0},
        {Qt::Key_Minus, keypad, {1, 1}, {1.1f, 1.1f}, 0},
        {Qt::Key_Minus, ctrl, {1, 1}, {1, 1}, 0},
        {Qt::Key_F, ctrl, {1, 1}, {-1, 1}, 0},
        {Qt::Key_Z, ctrl, {1, 1}, {1, 1}, 0},                   // Undo
        {Qt::Key_Backspace, Qt::AltModifier, {1, 1}, {1.1f, 1.1f}, 0},  // Undo
        {Qt::Key_Y, ctrl, {1, 1}, {1, 1}, 0},                   // Redo
    };
    Layer* face = SelectedFace();
    for (const Row& row : rows) {
        Press(view, row.key, row.modifiers);
        EXPECT_EQ(face->position, row.position) << row.key;
        EXPECT_TRUE(PointNear(face->scale, row.scale)) << row.key;
        EXPECT_EQ(face->angle, row.angle) << row.key;
    }
    // One record a press; the flip still to redo.
    EXPECT_EQ(journal.GetPosition(), 6 * JournalMoveSize + 2 * JournalRotateSize + 4 * JournalScaleSize);
    EXPECT_EQ(journal.GetEnd() - journal.GetPosition(), JournalScaleSize);

    QTest::mouseClick(field, Qt::LeftButton);  // a text field keeps its arrow keys
    field->setCursorPosition(5);
    Press(field, Qt::Key_Left);
    EXPECT_EQ(field->cursorPosition(), 4);
    EXPECT_EQ(face->position, (PointF{1, 1}));
}

// The keys are the window's, wherever the focus is; a text field keeps only the keys it edits with.
TEST_F(MainMenuTest, ToolColourAndTextKeysActWhereverTheFocusIsBesideTheTextFieldsOwn)
{
    SelectedFace();
    int colour = 0, text = 0;  // the dialogs stood in for, ahead of the document's handlers
    platform::CommandReceiver dialogs(router, platform::CommandStage::View);
    dialogs.On(CommandId::ChangeColor, [&] { ++colour; });
    dialogs.On(CommandId::EditText, [&] { ++text; });
    Press(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(document.tool, ToolCrop);
    Press(view, Qt::Key_A, Qt::ControlModifier);
    Press(view, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(colour, 1);
    EXPECT_EQ(document.tool, ToolErase);
    const bool locked = document.lockResizeRatio;
    Press(view, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(document.lockResizeRatio, !locked);

    // The text field keeps select-all and copy; a key it does not edit with is the window's.
    QTest::mouseClick(field, Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), field);
    field->deselect();
    Press(field, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(field->selectedText(), "hello");
    Press(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(colour, 1);
    EXPECT_EQ(document.tool, ToolErase);
    Press(field, Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(document.tool, ToolMoveResize);

    Press(field, Qt::Key_T, Qt::ControlModifier);  // a face has no text
    EXPECT_EQ(text, 0);
    Add("Bubble 1", LayerFlagsBubble);
    At(StepBubble, 2);
    Press(field, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(text, 1);
}

// Alt gives the menu bar the keys: the arrows then move through the menus, not the selected layer.
TEST_F(MainMenuTest, RegressionAfterAltTheArrowKeysMoveThroughTheMenusNotTheLayer)
{
    const Layer* face = SelectedFace();
    const PointF before = face->position;
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Alt);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Alt, Qt::AltModifier);
    QMenuBar* bar = window.menuBar();
    ASSERT_EQ(QApplication::focusWidget(), bar);
    Press(QApplication::focusWidget(), Qt::Key_Right);
    ASSERT_TRUE(bar->activeAction());
    EXPECT_EQ(bar->activeAction()->text(), "&Edit");
    Press(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(face->position, before);
    EXPECT_EQ(journal.GetPosition(), 0);
    QTest::keyClick(QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::focusWidget(),
                    Qt::Key_Escape);
}

TEST_F(MainMenuTest, DeleteKeyAsksOnlyWhenDeleteIsEnabled)
{
    SelectedFace();
    prompts.answer = platform::DocumentPrompts::Answer::Yes;
    document.step = StepOutlineFace + 1;
    Press(view, Qt::Key_Delete);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(document.layers.GetCount(), 2);

    document.step = StepFinish;
    Press(view, Qt::Key_Delete);
    EXPECT_EQ(prompts.shown, QStringList{"Delete the layer \"Face 1\"?"});
    EXPECT_EQ(document.layers.GetCount(), 1);
}

TEST_F(MainMenuTest, CtrlDigitSelectsTheLayerOfThatIndex)
{
    for (int count : {4, 6}) {
        SelectedFace(count);
        Press(view, Qt::Key_5, Qt::ControlModifier);
        EXPECT_EQ(document.selectedIndex, count == 6 ? 5 : 1) << count;
        Press(view, Qt::Key_0, Qt::ControlModifier);  // the scene photo
        EXPECT_EQ(document.selectedIndex, 0) << count;
    }
}

} // namespace
