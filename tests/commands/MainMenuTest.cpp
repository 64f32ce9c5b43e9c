#include "CommandsFixture.h"

#include "engine/document/CommandId.h"
#include "engine/document/DocumentDialogLink.h"
#include "engine/document/JournalKind.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerKind.h"
#include "platform/ui/CommandReceiver.h"
#include "shell/MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QVBoxLayout>

namespace {

// The dialogs the document opens, written down instead of shown.
class RecordingDialogs final : public DocumentDialogLink {
public:
    RecordingDialogs() : m_saved(g_documentDialogs) { g_documentDialogs = this; }
    ~RecordingDialogs() { g_documentDialogs = m_saved; }
    QString EditText(Document&, const QString& text) override
    {
        opened << QStringLiteral("Edit Text");
        return text;
    }
    void AdjustColor(Document&, Layer&) override { opened << QStringLiteral("Adjust Color"); }
    void SendPicture(Document&) override { opened << QStringLiteral("Send"); }
    QStringList opened;

private:
    DocumentDialogLink* m_saved;
};

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
        InstallMainMenu(*window.menuBar(), router, *view);
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
        view->setFocus();
    }

    // A face selected at the finish in the All Layers view, the scene photo behind it, more layers to n.
    Layer* SelectedFace(int layerCount = 2)
    {
        Add("Scene 1", LayerFlagsScenePhoto);
        Layer* face = Add("Face 1", LayerFlagsFace);
        for (int i = 2; i < layerCount; ++i)
            Add(QStringLiteral("Hat %1").arg(i), LayerFlagsAccessory);
        At(StepFinish, 1);
        document.tool = ToolMoveResize;
        return face;
    }

    void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(target, key, modifiers);
    }

    // Opens the menu with a click on its title, as a person does, and lists what it shows: one line
    // an entry, "-" a separator, with [disabled] and [checked] marks; hidden entries are left out.
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
        menu->grab().save(QDir::temp().filePath(QStringLiteral("snapmingle-menu-%1.png").arg(name)));
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
        return lines.join(u'\n');
    }

    platform::CommandReceiver application{router, platform::CommandStage::Application};
    QStringList recentFiles;
    RecordingDialogs dialogs;
    QMainWindow window;
    QWidget* view = nullptr;
    QLineEdit* field = nullptr;
};

TEST_F(MainMenuTest, MenusShowTheirTextsEnablingAndCheckMarks)
{
    SelectedFace();
    EXPECT_EQ(Open("&File"), "&New Project|Ctrl+N\n"
                             "&Open Project...|Ctrl+O\n"
                             "&Save Project|Ctrl+S [disabled]\n"
                             "Save Project &As...\n"
                             "-\n"
                             "Save &Picture...\n"
                             "Sen&d...\n"
                             "-\n"
                             "Recent File [disabled]\n"
                             "-\n"
                             "E&xit [disabled]");  // the main window's own
    EXPECT_EQ(Open("&Edit"), "&Undo|Ctrl+Z [disabled]\n"
                             "&Redo|Ctrl+Y [disabled]\n"
                             "-\n"
                             "Done [disabled]");  // Next Step's enabling names it by the state
    EXPECT_EQ(Open("&View"), "&All Layers [checked]\n"
                             "&Crop Layer\n"
                             "&Paint Layer");
    EXPECT_EQ(Open("&Layer"), "Change &Size\n"
                              "Increase Size|Ctrl+Plus\n"
                              "Decrease Size|Ctrl+Minus\n"
                              "-\n"
                              "Change &Position\n"
                              "Move Left|Ctrl+Left Arrow\n"
                              "Move Right|Ctrl+Right Arrow\n"
                              "Move Up|Ctrl+Up Arrow\n"
                              "Move Down|Ctrl+Down Arrow\n"
                              "-\n"
                              "Change &Rotatation\n"
                              "Rotate Left|Ctrl+[\n"
                              "Rotate Right|Ctrl+]\n"
                              "-\n"
                              "Smaller Brush\n"
                              "Larger Brush\n"
                              "-\n"
                              "Edit &Text|Ctrl+T [disabled]\n"
                              "Change &Color|Ctrl+A\n"
                              "&Flip|Ctrl+F\n"
                              "-\n"
                              "&Delete");
    EXPECT_EQ(Open("&Tools"), "&Crop|Ctrl+C\n"
                              "&Move / Resize|Ctrl+M [checked]\n"
                              "&Rotate|Ctrl+R\n"
                              "&Paint|Ctrl+P\n"
                              "&Erase|Ctrl+E\n"
                              "Magic Erase\n"
                              "-\n"
                              "&Lock Resize Ratio|Ctrl+L [checked]");
    EXPECT_EQ(Open("&Help"), "Enable Help Tips [checked]\n"
                             "-\n"
                             "Online Help [disabled]\n"  // the main window's own
                             "Visit Snapmingle Site [disabled]\n"
                             "-\n"
                             "&About Snapmingle...");

    // The scene photo selected: the tool is parked and its check mark goes when the menu opens.
    document.selectedIndex = 0;
    EXPECT_EQ(Open("&Tools"), "&Crop|Ctrl+C [disabled]\n"
                              "&Move / Resize|Ctrl+M [disabled]\n"
                              "&Rotate|Ctrl+R [disabled]\n"
                              "&Paint|Ctrl+P\n"
                              "&Erase|Ctrl+E\n"
                              "Magic Erase\n"
                              "-\n"
                              "&Lock Resize Ratio|Ctrl+L [disabled] [checked]");
    EXPECT_EQ(document.tool, -ToolMoveResize);
}

TEST_F(MainMenuTest, RecentFilesShowTheListOrOneDisabledEntry)
{
    const auto recent = [&] {
        QStringList lines = Open("&File").split(u'\n');
        return lines.mid(8, lines.size() - 10).join(u'\n');  // between the second and the last separator
    };
    EXPECT_EQ(recent(), "Recent File [disabled]");
    recentFiles = {"a.smg", "b.smg"};
    EXPECT_EQ(recent(), "&1 a.smg\n&2 b.smg");
    recentFiles = {"c.smg"};
    EXPECT_EQ(recent(), "&1 c.smg");
    recentFiles.clear();
    EXPECT_EQ(recent(), "Recent File [disabled]");
}

TEST_F(MainMenuTest, EveryMenuCommandHasItsPrompt)
{
    for (QAction* title : window.menuBar()->actions()) {
        for (const QAction* action : title->menu()->actions()) {
            if (!action->isSeparator())
                EXPECT_FALSE(action->statusTip().isEmpty()) << action->text().toStdString();
        }
    }
}

TEST_F(MainMenuTest, EachArrowKeyPressMovesTheLayerOnePixel)
{
    Layer* face = SelectedFace();
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
        Press(view, key);
    EXPECT_EQ(face->position, (PointF{1, 1}));
    EXPECT_EQ(RecordKinds(), std::vector<int>(6, JournalMove));

    Press(view, Qt::Key_Left, Qt::ControlModifier);  // the menu text's key is not the accelerator's
    EXPECT_EQ(RecordKinds().size(), 6u);

    field->setFocus();  // another pane keeps its arrow keys
    field->setCursorPosition(5);
    Press(field, Qt::Key_Left);
    EXPECT_EQ(field->cursorPosition(), 4);
    EXPECT_EQ(face->position, (PointF{1, 1}));
}

TEST_F(MainMenuTest, KeysOfTheAcceleratorTable)
{
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        PointF scale;  // after the key
        Angle angle;
    };
    const Row rows[] = {
        {Qt::Key_BracketRight, Qt::ControlModifier, {1, 1}, 182},
        {Qt::Key_BracketRight, Qt::ControlModifier, {1, 1}, 364},
        {Qt::Key_BracketRight, Qt::ControlModifier, {1, 1}, 546},
        {Qt::Key_BracketLeft, Qt::ControlModifier, {1, 1}, 364},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, {1.1f, 1.1f}, 364},
        {Qt::Key_Equal, Qt::ControlModifier, {1.2f, 1.2f}, 364},
        {Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier, {1.1f, 1.1f}, 364},
        {Qt::Key_Minus, Qt::ControlModifier, {1, 1}, 364},
        {Qt::Key_F, Qt::ControlModifier, {-1, 1}, 364},
        {Qt::Key_Z, Qt::ControlModifier, {1, 1}, 364},  // Undo
        {Qt::Key_Backspace, Qt::AltModifier, {1.1f, 1.1f}, 364},
        {Qt::Key_Y, Qt::ControlModifier, {1, 1}, 364},  // Redo
        {Qt::Key_Y, Qt::ControlModifier, {-1, 1}, 364},
    };
    Layer* face = SelectedFace();
    for (const Row& row : rows) {
        Press(view, row.key, row.modifiers);
        EXPECT_NEAR(face->scale.x, row.scale.x, 1e-5) << row.key;
        EXPECT_NEAR(face->scale.y, row.scale.y, 1e-5) << row.key;
        EXPECT_EQ(face->angle, row.angle) << row.key;
    }
    EXPECT_EQ(journal.GetPosition(), journal.GetEnd());
}

TEST_F(MainMenuTest, ToolAndColourKeysActOnlyInTheEditingView)
{
    SelectedFace();
    Press(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(document.tool, ToolCrop);
    Press(view, Qt::Key_A, Qt::ControlModifier);
    Press(view, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(dialogs.opened, QStringList{"Adjust Color"});
    EXPECT_EQ(document.tool, ToolErase);
    const bool locked = document.lockResizeRatio;
    Press(view, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(document.lockResizeRatio, !locked);

    // The text field keeps select-all and copy; the document sees nothing.
    field->setFocus();
    field->deselect();
    Press(field, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(field->selectedText(), "hello");
    Press(field, Qt::Key_C, Qt::ControlModifier);
    Press(field, Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(dialogs.opened, QStringList{"Adjust Color"});
    EXPECT_EQ(document.tool, ToolErase);
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
        document.layers.DeleteAll();
        SelectedFace(count);
        Press(view, Qt::Key_5, Qt::ControlModifier);
        EXPECT_EQ(document.selectedIndex, count == 6 ? 5 : 1) << count;
        Press(view, Qt::Key_0, Qt::ControlModifier);  // the scene photo
        EXPECT_EQ(document.selectedIndex, 0) << count;
    }
}

TEST_F(MainMenuTest, EditTextKeyOpensTheDialogForASpeechBubble)
{
    SelectedFace();
    Press(view, Qt::Key_T, Qt::ControlModifier);  // a face has no text
    Add("Bubble 1", LayerFlagsBubble);
    At(StepBubble, 2);
    Press(view, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(dialogs.opened, QStringList{"Edit Text"});
}

} // namespace
