#include "platform/ui/CommandReceiver.h"
#include "platform/ui/CommandRouter.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using platform::CommandReceiver;
using platform::CommandRouter;
using platform::CommandStage;
using platform::CommandUI;

constexpr int32_t NextStep = 32801;
constexpr int32_t MoveLeft = 32809;

// A receiver whose command is enabled while `enabled` holds; the trace records every question and run.
class CommandRouterTest : public ::testing::Test {
protected:
    CommandRouterTest()
    {
        document.On(NextStep, [this] { trace.push_back("run"); });
        document.OnUpdate(NextStep, [this](CommandUI& ui) {
            trace.push_back("ask");
            ui.Enable(enabled);
        });
    }

    // A shown, active window of two panes that take the focus; the first has it.
    QWidget& ActiveWindow()
    {
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        for (QWidget** pane : {&first, &second}) {
            *pane = new QWidget(window.get());
            (*pane)->setFocusPolicy(Qt::StrongFocus);
            (*pane)->setMinimumSize(40, 20);
            layout->addWidget(*pane);
        }
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        first->setFocus();
        return *window;
    }

    int Runs() const { return static_cast<int>(std::count(trace.begin(), trace.end(), "run")); }
    // Every run came right after its enabling handler answered.
    bool EveryRunWasAskedFirst() const
    {
        for (size_t i = 0; i < trace.size(); ++i) {
            if (trace[i] == "run" && (i == 0 || trace[i - 1] != "ask"))
                return false;
        }
        return true;
    }

    CommandRouter router;
    CommandReceiver document{router, CommandStage::Document};
    bool enabled = true;
    std::vector<std::string> trace;
    std::unique_ptr<QWidget> window;
    QWidget* first = nullptr;
    QWidget* second = nullptr;
};

// Keys, both kinds of button and Run: the enabling handler is asked right before every run, whatever state
// the action showed last. Buttons cannot be clicked while they show the command disabled; keys and Run can.
TEST_F(CommandRouterTest, ADisabledCommandNeverRuns)
{
    QWidget& frame = ActiveWindow();
    router.SetAccelerators(NextStep, frame, {QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_F5)});
    auto* toolButton = new QToolButton(&frame);
    toolButton->setDefaultAction(router.Action(NextStep));
    auto* panelButton = new QPushButton(QStringLiteral("Next"), &frame);
    router.ConnectButton(*panelButton, NextStep);
    toolButton->show();
    panelButton->show();
    struct Trigger { const char* name; std::function<void()> fire; bool firesWhileShownDisabled; };
    const Trigger triggers[] = {
        {"Ctrl+N", [&] { QTest::keyClick(first, Qt::Key_N, Qt::ControlModifier); }, true},
        {"F5", [&] { QTest::keyClick(first, Qt::Key_F5); }, true},  // the accelerator's second key
        {"tool button", [&] { QTest::mouseClick(toolButton, Qt::LeftButton); }, false},
        {"panel button", [&] { QTest::mouseClick(panelButton, Qt::LeftButton); }, false},
        {"Run", [&] { EXPECT_EQ(router.Run(NextStep), enabled); }, true},
    };
    for (const auto& trigger : triggers) {
        SCOPED_TRACE(trigger.name);
        enabled = true;
        router.UpdateActions();
        const int runs = Runs();
        trigger.fire();
        EXPECT_EQ(Runs(), runs + 1);

        enabled = false;  // every control still shows the command enabled
        ASSERT_TRUE(panelButton->isEnabled());
        trigger.fire();
        EXPECT_EQ(Runs(), runs + 1);
        EXPECT_FALSE(router.Action(NextStep)->isEnabled());
        EXPECT_FALSE(panelButton->isEnabled());
        EXPECT_FALSE(toolButton->isEnabled());

        enabled = true;  // and back, while the action still shows it disabled
        trigger.fire();
        EXPECT_EQ(Runs(), runs + (trigger.firesWhileShownDisabled ? 2 : 1));
    }
    EXPECT_TRUE(EveryRunWasAskedFirst());
}

TEST_F(CommandRouterTest, ReceiversAreAskedInRoutingOrder)
{
    std::vector<std::string> ran;
    CommandReceiver application(router, CommandStage::Application);
    CommandReceiver frame(router, CommandStage::Frame);
    application.On(MoveLeft, [&] { ran.push_back("application"); });
    frame.On(MoveLeft, [&] { ran.push_back("frame"); });
    EXPECT_TRUE(router.Run(MoveLeft));
    {
        CommandReceiver view(router, CommandStage::View);  // joins last, asked first
        view.OnRange(32809, 32812, [&](int32_t id) { ran.push_back("view " + std::to_string(id)); });
        EXPECT_TRUE(router.Run(MoveLeft));
    }
    EXPECT_TRUE(router.Run(MoveLeft));  // the view has gone
    EXPECT_EQ(ran, (std::vector<std::string>{"frame", "view 32809", "frame"}));
}

TEST_F(CommandRouterTest, EnablingHandlersSetTheSharedActionsState)
{
    CommandReceiver frame(router, CommandStage::Frame);
    int32_t tool = 32833;
    frame.OnRange(32832, 32840, [&](int32_t id) { tool = id; });
    frame.OnUpdateRange(32832, 32840, [&](CommandUI& ui) {
        ui.Enable(ui.Id() != 32837);
        ui.SetCheck(ui.Id() == tool);
    });
    document.OnUpdate(57643, [](CommandUI& ui) { ui.SetText(QStringLiteral("&Undo\tCtrl+Z")); });

    QAction* crop = router.Action(32832);
    QAction* move = router.Action(32833);
    QAction* outline = router.Action(32837);
    EXPECT_EQ(router.Action(32832), crop);  // one action per command
    EXPECT_TRUE(move->isChecked());
    EXPECT_FALSE(crop->isChecked());
    EXPECT_FALSE(outline->isEnabled());
    crop->trigger();
    EXPECT_EQ(tool, 32832);
    EXPECT_TRUE(crop->isChecked());
    router.UpdateActions();
    EXPECT_FALSE(move->isChecked());

    // Without an enabling handler a handled command is enabled and an unhandled one is not; the
    // tooltip and prompt come from the string table.
    EXPECT_EQ(router.Action(57643)->text(), QStringLiteral("&Undo\tCtrl+Z"));
    EXPECT_FALSE(router.Action(57643)->isEnabled());
    EXPECT_FALSE(router.Run(57643));
    EXPECT_EQ(router.Action(NextStep)->toolTip(), QStringLiteral("Next Step"));
    EXPECT_FALSE(router.Action(NextStep)->statusTip().isEmpty());
}

// Menu-only actions follow their enabling handlers when their menu opens; the actions kept current
// (buttons) also after any input and at every timer tick, as the program's idle work.
TEST_F(CommandRouterTest, RegressionMenuOnlyHandlersRunWhenTheirMenuOpensNotAtEveryTick)
{
    QWidget& frame = ActiveWindow();
    int asked = 0;
    bool redoEnabled = false;
    document.On(57644, [] {});
    document.OnUpdate(57644, [&](CommandUI& ui) {
        ++asked;
        ui.Enable(redoEnabled);
    });
    QAction* kept = router.Action(NextStep);
    router.KeepCurrent(NextStep);
    QAction* menuOnly = router.Action(57644);
    QMenu menu(&frame);
    menu.addAction(kept);
    menu.addAction(menuOnly);
    router.WatchMenu(menu);

    enabled = false;
    emit menu.aboutToShow();
    EXPECT_FALSE(kept->isEnabled());

    enabled = true;
    redoEnabled = true;
    const int askedBefore = asked;
    QTest::mouseClick(second, Qt::LeftButton);  // any input brings an idle pass
    QTest::qWait(100);                          // and timers of their own
    EXPECT_TRUE(kept->isEnabled());
    EXPECT_FALSE(menuOnly->isEnabled());
    EXPECT_EQ(asked, askedBefore);
    emit menu.aboutToShow();
    EXPECT_TRUE(menuOnly->isEnabled());
}

// The keys are the window's: they act whichever pane has the focus; a disabled
// command takes its key and does nothing, so the pane never sees it.
TEST_F(CommandRouterTest, AcceleratorsActWhereverTheFocusIs)
{
    QWidget& frame = ActiveWindow();
    int moves = 0;
    document.On(MoveLeft, [&] { ++moves; });
    bool moveEnabled = true;
    document.OnUpdate(MoveLeft, [&](CommandUI& ui) { ui.Enable(moveEnabled); });
    router.SetAccelerators(MoveLeft, frame, {QKeySequence(Qt::Key_Left)});
    int paneKeys = 0;
    struct KeyCounter : QObject {
        int& count;
        explicit KeyCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::KeyPress;
            return false;
        }
    } counter(paneKeys);
    second->installEventFilter(&counter);

    QTest::keyClick(first, Qt::Key_Left);
    QTest::mouseClick(second, Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), second);
    QTest::keyClick(second, Qt::Key_Left);
    EXPECT_EQ(moves, 2);

    moveEnabled = false;
    QTest::keyClick(second, Qt::Key_Left);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(paneKeys, 0);
}

TEST_F(CommandRouterTest, AReceiverMayOutliveItsRouter)
{
    auto shortLived = std::make_unique<CommandRouter>();
    int runs = 0;
    auto receiver = std::make_unique<CommandReceiver>(*shortLived, CommandStage::View);
    receiver->On(MoveLeft, [&] { ++runs; });
    EXPECT_TRUE(shortLived->Run(MoveLeft));
    shortLived.reset();
    receiver.reset();  // leaves no router behind: the sanitizer build checks that nothing was touched
    EXPECT_EQ(runs, 1);
}

} // namespace
