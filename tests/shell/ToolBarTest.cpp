#include "ShellTestSupport.h"

#include "platform/ResourceId.h"
#include "platform/Resources.h"
#include "platform/ui/CommandReceiver.h"
#include "platform/ui/CommandRouter.h"
#include "shell/ImageList.h"
#include "shell/ToolBar.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

namespace ResourceId = platform::ResourceId;
using platform::CommandUI;

constexpr int32_t PictureSize = ImageList::PictureSize;

QImage Grab(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Next Step, Undo and Redo are enabled unless listed in `disabled`; the tools carry the check mark of
// the current tool. Every run is written down.
class ToolBarTest : public ::testing::Test {
protected:
    ToolBarTest()
    {
        for (const int32_t id : ToolBar::Buttons) {
            commands.On(id, [this, id] {
                ran.push_back(id);
                if (IsTool(id))
                    tool = id;
            });
        }
        commands.OnUpdateRange(ToolBar::NextStep, ToolBar::Redo, [this](CommandUI& ui) {
            ui.Enable(!disabled.contains(ui.Id()));
            if (IsTool(ui.Id()))
                ui.SetCheck(ui.Id() == tool);
        });
        toolBar = new ToolBar(router, &frame);
        created = toolBar->Create(frame);
        buttonsSet = toolBar->SetButtons(ToolBar::Buttons);
        frame.setCentralWidget(edit = new QLineEdit(&frame));
        frame.setGeometry(100, 40, 300, 520);
        QCursor::setPos(5, 5);  // the pointer starts outside
        ShowAndExpose(frame);
    }

    static bool IsTool(int32_t id) { return id >= ToolBar::Crop && id <= ToolBar::MagicErase; }
    QToolButton* Button(int32_t id) const { return toolBar->Button(toolBar->CommandToIndex(id)); }
    int32_t NextStepPicture() const { return toolBar->ButtonPicture(0); }
    void Disable(std::set<int32_t> ids)
    {
        disabled = std::move(ids);
        router.UpdateActions();
    }
    // Whether the button draws picture i of the strip near its middle: every pixel as the strip has it,
    // but where the strip has the key colour, what the button shows without a picture.
    bool Shows(int32_t id, int32_t bitmapId, int32_t i)
    {
        QToolButton* button = Button(id);
        const QImage shown = Grab(*button);
        const QIcon icon = button->icon();
        QPixmap none(PictureSize, PictureSize);
        none.fill(Qt::transparent);
        button->setIcon(none);
        const QImage bare = Grab(*button);
        button->setIcon(icon);
        const QImage picture = platform::Resources::Picture(platform::ResourceType::Bitmap, bitmapId)
                                   .convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                   .copy(i * PictureSize, 0, PictureSize, PictureSize);
        const auto drawnAt = [&](int left, int top) {
            for (int y = 0; y < PictureSize; ++y) {
                for (int x = 0; x < PictureSize; ++x) {
                    const QRgb own = picture.pixel(x, y);
                    const QPoint at(left + x, top + y);
                    if (shown.pixel(at) != (own == ResourceId::ToolBarKeyColour ? bare.pixel(at) : own))
                        return false;
                }
            }
            return true;
        };
        for (int top = 2; top <= 4; ++top) {
            for (int left = 2; left <= 5; ++left) {
                if (drawnAt(left, top))
                    return true;
            }
        }
        return false;
    }

    platform::CommandRouter router;
    platform::CommandReceiver commands{router, platform::CommandStage::Document};
    std::set<int32_t> disabled;
    int32_t tool = ToolBar::MoveResize;
    std::vector<int32_t> ran;
    QMainWindow frame;
    QLineEdit* edit = nullptr;
    ToolBar* toolBar = nullptr;
    bool created = false;
    bool buttonsSet = false;
};

TEST_F(ToolBarTest, IsAColumnOfTwelveButtonsWithTooltipsDockedOnTheLeft)
{
    EXPECT_TRUE(created);
    EXPECT_TRUE(buttonsSet);
    EXPECT_EQ(frame.toolBarArea(toolBar), Qt::LeftToolBarArea);
    EXPECT_EQ(toolBar->orientation(), Qt::Vertical);
    EXPECT_FALSE(toolBar->isMovable());
    const QStringList tooltips{"Next Step", "Undo", "Redo", "Move/Resize the selected layer",
        "Crop the selected layer", "Rotate the selected layer", "Flip the selected layer",
        "Adjust selected layer's colors", "Edit Text", "Paint with pixels from the selected layer",
        "Erase pixels from the selected layer",
        "Magically erase pixels from all the layers. Use to erase scene layer faces!"};
    Disable({ToolBar::Undo});  // a disabled button shows its tooltip too
    ASSERT_EQ(toolBar->ButtonCount(), 12);
    for (int32_t i = 0; i < toolBar->ButtonCount(); ++i) {
        QToolButton* button = toolBar->Button(i);
        EXPECT_EQ(button->objectName(), QString::number(ToolBar::Buttons[static_cast<size_t>(i)]));
        EXPECT_EQ(button->geometry(), QRect(toolBar->Button(0)->pos() + QPoint(0, 38 * i), QSize(39, 38)));
        EXPECT_EQ(toolBar->ButtonPicture(i), i);
        const QPoint middle = button->rect().center();
        QHelpEvent help(QEvent::ToolTip, middle, button->mapToGlobal(middle));
        QApplication::sendEvent(button, &help);
        EXPECT_TRUE(QToolTip::isVisible()) << i;
        EXPECT_EQ(QToolTip::text(), tooltips[i]) << i;
        QToolTip::hideText();
    }

    // Buttons set again replace the ones before; a button without a picture, or a missing strip, fails.
    const QPointer<QToolButton> old = toolBar->Button(0);
    EXPECT_TRUE(toolBar->SetButtons(std::array{ToolBar::Undo, ToolBar::Redo}));
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(toolBar->actions().size(), 2);
    EXPECT_FALSE(toolBar->SetButtons(std::vector<int32_t>(14, ToolBar::Undo)));
    ImageList missing;
    EXPECT_FALSE(missing.Create(ResourceId::ToolBarNormal + 1000));
}

TEST_F(ToolBarTest, NextStepBlinksWhileEnabledAndKeepsItsPictureWhileDisabled)
{
    EXPECT_TRUE(toolBar->BlinkTimer().IsActive());
    EXPECT_EQ(NextStepPicture(), 0);

    std::vector<int32_t> pictures;
    for (int tick = 0; tick < 4; ++tick) {
        toolBar->OnTimer();
        pictures.push_back(NextStepPicture());
    }
    EXPECT_EQ(pictures, (std::vector<int32_t>{12, 0, 12, 0}));
    toolBar->OnTimer();
    EXPECT_TRUE(Shows(ToolBar::NextStep, ResourceId::ToolBarNormal, 12));
    SaveGrab(*toolBar, "toolbar-blink");

    // Disabled on the highlighted picture: it stays there, drawn grey, while the phase goes on.
    Disable({ToolBar::NextStep});
    for (int tick = 0; tick < 3; ++tick) {
        toolBar->OnTimer();
        EXPECT_EQ(NextStepPicture(), 12);
    }
    EXPECT_TRUE(Shows(ToolBar::NextStep, ResourceId::ToolBarDisabled, 12));
    SaveGrab(*toolBar, "toolbar-blink-disabled");

    // Eight ticks so far, three of them disabled: the phase went on, so the next picture is 12 again.
    EXPECT_FALSE(toolBar->BlinkPhase());
    Disable({});
    toolBar->OnTimer();
    EXPECT_EQ(NextStepPicture(), 12);
    toolBar->OnTimer();
    EXPECT_EQ(NextStepPicture(), 0);
    EXPECT_TRUE(Shows(ToolBar::NextStep, ResourceId::ToolBarNormal, 0));
}

TEST_F(ToolBarTest, TheKeyColourIsTransparentInEveryState)
{
    QTest::mouseMove(edit, QPoint(100, 100));
    EXPECT_TRUE(Shows(ToolBar::Undo, ResourceId::ToolBarNormal, 1));
    EXPECT_TRUE(Shows(ToolBar::MoveResize, ResourceId::ToolBarNormal, 3));  // checked
    SaveGrab(frame, "toolbar-normal");

    Disable({ToolBar::Redo, ToolBar::Paint});
    QTest::mouseMove(Button(ToolBar::Crop), QPoint(10, 10));
    ASSERT_TRUE(Button(ToolBar::Crop)->underMouse());
    EXPECT_TRUE(Shows(ToolBar::Crop, ResourceId::ToolBarHot, 4));
    EXPECT_TRUE(Shows(ToolBar::Redo, ResourceId::ToolBarDisabled, 2));
    EXPECT_TRUE(Shows(ToolBar::Paint, ResourceId::ToolBarDisabled, 9));
    EXPECT_TRUE(Shows(ToolBar::Erase, ResourceId::ToolBarNormal, 10));
    EXPECT_FALSE(Shows(ToolBar::Crop, ResourceId::ToolBarNormal, 4));
    SaveGrab(frame, "toolbar-hot-and-disabled");
}

TEST_F(ToolBarTest, ButtonsRunTheirCommandsOnlyWhileEnabled)
{
    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    edit->setFocus();
    for (const int32_t id : ToolBar::Buttons)
        QTest::mouseClick(Button(id), Qt::LeftButton);
    EXPECT_EQ(ran, std::vector<int32_t>(ToolBar::Buttons.begin(), ToolBar::Buttons.end()));
    EXPECT_TRUE(edit->hasFocus());  // the buttons never take the focus

    // The check mark is the command's: the current tool's button is checked, a click does not toggle it.
    QTest::qWait(0);
    EXPECT_TRUE(Button(ToolBar::MagicErase)->isChecked());
    EXPECT_FALSE(Button(ToolBar::MoveResize)->isChecked());
    QTest::mouseClick(Button(ToolBar::MagicErase), Qt::LeftButton);
    QTest::qWait(0);
    EXPECT_TRUE(Button(ToolBar::MagicErase)->isChecked());

    // A disabled button takes no click; one that still looks enabled is refused by the router.
    ran.clear();
    Disable({ToolBar::Undo});
    EXPECT_FALSE(Button(ToolBar::Undo)->isEnabled());
    QTest::mouseClick(Button(ToolBar::Undo), Qt::LeftButton);
    disabled = {ToolBar::Undo, ToolBar::Redo};
    ASSERT_TRUE(Button(ToolBar::Redo)->isEnabled());
    QTest::mouseClick(Button(ToolBar::Redo), Qt::LeftButton);
    EXPECT_TRUE(ran.empty());
    EXPECT_FALSE(Button(ToolBar::Redo)->isEnabled());
}

} // namespace
