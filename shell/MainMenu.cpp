#include "shell/MainMenu.h"

#include "engine/document/CommandId.h"
#include "platform/ui/CommandRouter.h"

#include <QAction>
#include <QEvent>
#include <QKeyCombination>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <map>
#include <span>

namespace {

constexpr int32_t Separator = 0;

struct MenuItem {
    int32_t id;  // Separator: a line
    const char* text;
};

constexpr MenuItem FileMenu[] = {
    {CommandId::NewProject, "&New Project\tCtrl+N"},
    {CommandId::OpenProject, "&Open Project...\tCtrl+O"},
    {CommandId::SaveProject, "&Save Project\tCtrl+S"},
    {CommandId::SaveProjectAs, "Save Project &As..."},
    {Separator, nullptr},
    {CommandId::SavePicture, "Save &Picture..."},
    {CommandId::Send, "Sen&d..."},
    {Separator, nullptr},
    {CommandId::RecentFileFirst, "Recent File"},
    {CommandId::RecentFileFirst + 1, "Recent File"},
    {CommandId::RecentFileFirst + 2, "Recent File"},
    {CommandId::RecentFileLast, "Recent File"},
    {Separator, nullptr},
    {CommandId::Exit, "E&xit"},
};

constexpr MenuItem EditMenu[] = {
    {CommandId::Undo, "&Undo\tCtrl+Z"},
    {CommandId::Redo, "&Redo\tCtrl+Y"},
    {Separator, nullptr},
    {CommandId::NextStep, "&Next Step"},
};

constexpr MenuItem ViewMenu[] = {
    {CommandId::AllLayers, "&All Layers"},
    {CommandId::CropLayer, "&Crop Layer"},
    {CommandId::PaintLayer, "&Paint Layer"},
};

constexpr MenuItem LayerMenu[] = {
    {CommandId::ChangeSize, "Change &Size"},
    {CommandId::IncreaseSize, "Increase Size\tCtrl+Plus"},
    {CommandId::DecreaseSize, "Decrease Size\tCtrl+Minus"},
    {Separator, nullptr},
    {CommandId::ChangePosition, "Change &Position"},
    {CommandId::MoveLeft, "Move Left\tCtrl+Left Arrow"},
    {CommandId::MoveRight, "Move Right\tCtrl+Right Arrow"},
    {CommandId::MoveUp, "Move Up\tCtrl+Up Arrow"},
    {CommandId::MoveDown, "Move Down\tCtrl+Down Arrow"},
    {Separator, nullptr},
    {CommandId::ChangeRotation, "Change &Rotation"},
    {CommandId::RotateLeft, "Rotate Left\tCtrl+["},
    {CommandId::RotateRight, "Rotate Right\tCtrl+]"},
    {Separator, nullptr},
    {CommandId::SmallerBrush, "Smaller Brush"},
    {CommandId::LargerBrush, "Larger Brush"},
    {Separator, nullptr},
    {CommandId::EditText, "Edit &Text\tCtrl+T"},
    {CommandId::ChangeColor, "Change &Color\tCtrl+A"},
    {CommandId::Flip, "&Flip\tCtrl+F"},
    {Separator, nullptr},
    {CommandId::DeleteLayer, "&Delete"},
};

constexpr MenuItem ToolsMenu[] = {
    {CommandId::Crop, "&Crop\tCtrl+C"},
    {CommandId::MoveResize, "&Move / Resize\tCtrl+M"},
    {CommandId::Rotate, "&Rotate\tCtrl+R"},
    {CommandId::Paint, "&Paint\tCtrl+P"},
    {CommandId::Erase, "&Erase\tCtrl+E"},
    {CommandId::MagicErase, "Magic Erase"},
    {Separator, nullptr},
    {CommandId::LockResizeRatio, "&Lock Resize Ratio\tCtrl+L"},
};

constexpr MenuItem HelpMenu[] = {
    {CommandId::EnableHelpTips, "Enable Help Tips"},
    {Separator, nullptr},
    {CommandId::OnlineHelp, "Online Help"},
    {CommandId::VisitSite, "Visit Snapmingle Site"},
    {Separator, nullptr},
    {CommandId::About, "&About Snapmingle..."},
};

struct Menu {
    const char* title;
    std::span<const MenuItem> items;
};

const Menu Menus[] = {
    {"&File", FileMenu},  {"&Edit", EditMenu},   {"&View", ViewMenu},
    {"&Layer", LayerMenu}, {"&Tools", ToolsMenu}, {"&Help", HelpMenu},
};

struct Accelerator {
    QKeyCombination key;
    int32_t id;
};

constexpr auto Ctrl = Qt::ControlModifier;
constexpr auto CtrlPad = Qt::ControlModifier | Qt::KeypadModifier;

// Accelerator table 128, by command; a command may have several keys. Every key is the main window's,
// whichever pane has the focus.
constexpr Accelerator Accelerators[] = {
    {Ctrl | Qt::Key_N, CommandId::NewProject},
    {Ctrl | Qt::Key_O, CommandId::OpenProject},
    {Ctrl | Qt::Key_S, CommandId::SaveProject},
    {Ctrl | Qt::Key_Z, CommandId::Undo},
    {Qt::AltModifier | Qt::Key_Backspace, CommandId::Undo},
    {Ctrl | Qt::Key_Y, CommandId::Redo},
    // The plus/equals key gives "=" on some layouts and "+" on others.
    {CtrlPad | Qt::Key_Plus, CommandId::IncreaseSize},
    {Ctrl | Qt::Key_Equal, CommandId::IncreaseSize},
    {Ctrl | Qt::Key_Plus, CommandId::IncreaseSize},
    {CtrlPad | Qt::Key_Minus, CommandId::DecreaseSize},
    {Ctrl | Qt::Key_Minus, CommandId::DecreaseSize},
    {QKeyCombination(Qt::Key_Left), CommandId::MoveLeft},
    {QKeyCombination(Qt::Key_Right), CommandId::MoveRight},
    {QKeyCombination(Qt::Key_Up), CommandId::MoveUp},
    {QKeyCombination(Qt::Key_Down), CommandId::MoveDown},
    {Ctrl | Qt::Key_BracketLeft, CommandId::RotateLeft},
    {Ctrl | Qt::Key_BracketRight, CommandId::RotateRight},
    {Ctrl | Qt::Key_T, CommandId::EditText},
    {Ctrl | Qt::Key_A, CommandId::ChangeColor},
    {Ctrl | Qt::Key_F, CommandId::Flip},
    {QKeyCombination(Qt::Key_Delete), CommandId::DeleteLayer},
    {Ctrl | Qt::Key_C, CommandId::Crop},
    {Ctrl | Qt::Key_M, CommandId::MoveResize},
    {Ctrl | Qt::Key_R, CommandId::Rotate},
    {Ctrl | Qt::Key_P, CommandId::Paint},
    {Ctrl | Qt::Key_E, CommandId::Erase},
    {Ctrl | Qt::Key_L, CommandId::LockResizeRatio},
    {Ctrl | Qt::Key_0, CommandId::SelectLayerFirst},
    {Ctrl | Qt::Key_1, CommandId::SelectLayerFirst + 1},
    {Ctrl | Qt::Key_2, CommandId::SelectLayerFirst + 2},
    {Ctrl | Qt::Key_3, CommandId::SelectLayerFirst + 3},
    {Ctrl | Qt::Key_4, CommandId::SelectLayerFirst + 4},
    {Ctrl | Qt::Key_5, CommandId::SelectLayerFirst + 5},
    {Ctrl | Qt::Key_6, CommandId::SelectLayerFirst + 6},
    {Ctrl | Qt::Key_7, CommandId::SelectLayerFirst + 7},
    {Ctrl | Qt::Key_8, CommandId::SelectLayerFirst + 8},
    {Ctrl | Qt::Key_9, CommandId::SelectLayerFirst + 9},
};

void InstallAccelerators(platform::CommandRouter& router, QWidget& window)
{
    std::map<int32_t, QList<QKeySequence>> byCommand;
    for (const Accelerator& accelerator : Accelerators)
        byCommand[accelerator.id] << QKeySequence(accelerator.key);
    for (const auto& [id, keys] : byCommand)
        router.SetAccelerators(id, window, keys);
}

// The recent-file entries that hold no file are hidden; while none does, the first stays as a
// disabled "Recent File". The enabling handlers decide: a hidden action always reads as disabled.
void ShowRecentFiles(platform::CommandRouter& router)
{
    for (int32_t id = CommandId::RecentFileFirst; id <= CommandId::RecentFileLast; ++id) {
        QAction* action = router.Action(id);
        const bool holdsFile = router.Query(id).enabled;
        action->setVisible(holdsFile || id == CommandId::RecentFileFirst);
        if (!holdsFile)
            action->setText(QStringLiteral("Recent File"));
    }
}

// While the menu bar has the keys (Alt was tapped), the keys it moves through its menus with are its
// own: the window's arrow keys would otherwise move the selected layer instead.
class MenuBarKeys : public QObject {
public:
    explicit MenuBarKeys(QMenuBar& menuBar) : QObject(&menuBar), m_menuBar(menuBar) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride && m_menuBar.hasFocus()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() == Qt::NoModifier && IsMenuKey(key->key())) {
                event->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static bool IsMenuKey(int key)
    {
        switch (key) {
        case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
        case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Escape:
            return true;
        default:
            return false;
        }
    }

    QMenuBar& m_menuBar;
};

} // namespace

void InstallMainMenu(QMenuBar& menuBar, platform::CommandRouter& router, QWidget& window)
{
    for (const Menu& description : Menus) {
        QMenu* menu = menuBar.addMenu(QString::fromLatin1(description.title));
        router.WatchMenu(*menu);
        for (const MenuItem& item : description.items) {
            if (item.id == Separator) {
                menu->addSeparator();
                continue;
            }
            QAction* action = router.Action(item.id);
            action->setText(QString::fromLatin1(item.text));
            menu->addAction(action);
        }
        if (description.items.data() == FileMenu)
            QObject::connect(menu, &QMenu::aboutToShow, &router, [&router] { ShowRecentFiles(router); });
    }
    InstallAccelerators(router, window);
    menuBar.installEventFilter(new MenuBarKeys(menuBar));
    router.UpdateActions();
    ShowRecentFiles(router);
}
