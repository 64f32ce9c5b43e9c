#include "ShellTestSupport.h"

#include "engine/document/Document.h"
#include "platform/IniFile.h"
#include "platform/ResourceId.h"
#include "platform/Resources.h"
#include "shell/MainFrame.h"
#include "shell/StepBar.h"
#include "shell/StepPictures.h"
#include "shell/ToolBar.h"
#include "shell/Tutor.h"
#include "support/ScopedAppPaths.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

using platform::ResourceType;
namespace ResourceId = platform::ResourceId;

QImage TipPicture(int32_t tip)
{
    return QImage::fromData(platform::Resources::Bytes(ResourceType::Png, ResourceId::TipFirst - 1 + tip), "PNG");
}

QImage Shown(const QLabel& label)
{
    return label.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage Bitmap(int32_t id)
{
    return platform::Resources::Picture(ResourceType::Bitmap, id).convertToFormat(QImage::Format_RGB32);
}

class StepBarTest : public ::testing::Test {
protected:
    StepBarTest() { bar.SetStepImagesTarget(&pictures); }

    uint32_t IniTutorialOff() const
    {
        return platform::IniFile(stores.IniPath()).ReadUInt("System", "TutorialOff", 99);
    }
    int32_t RegistryTutorialOff() const
    {
        return stores.settings.ReadRegistryInt(Settings::ConfigKey, "TutorialOff", -1).value_or(99);
    }

    TempSettings stores;
    StepPictures pictures;
    StepBar bar{stores.settings};
    ModalPerson person;
};

TEST_F(StepBarTest, TextStepAndTipsOfEveryState)
{
    struct Row {
        int32_t state;
        const char* text;
        int32_t step;
        QStringList tips;
    };
    const Row rows[] = {
        {0, "Please press Start.", 0, {"Help Tip: tip 1", "Help Tip: tip 2"}},
        {1, "Step 1: Choose a Background Scene.", 1, {"Step 1 Help Tip: tip 3"}},
        {2, "Step 1: Choose another Background Scene or Click Next.", 1, {}},
        {3, "Step 2: Choose a Face.", 2, {"Step 2 Help Tip: tip 11"}},
        {4, "Step 2: Choose another Face or Click Next.", 2, {}},
        {5, "Step 3: Select face, then click Next.", 3, {}},
        {6, "Step 3: Select face, then click Next.", 3, {"Step 3 Help Tip: tip 4"}},
        {7, "Step 4: Outline face, then click Next.", 4, {}},
        {8, "Step 4: Outline face, then click Next.", 4, {"Step 4 Help Tip: tip 5"}},
        {9, "Step 5: Place face, then click Next.", 5, {}},
        {10, "Step 5: Place face, then click Next.", 5, {"Step 5 Help Tip: tip 6"}},
        {11, "Step 6: Choose accessories or Click Next.", 6, {}},
        {12, "Step 6: Choose accessories or Click Next.", 6, {"Step 6 Help Tip: tip 7", "Step 6 Help Tip: tip 8"}},
        {13, "Step 7: Choose a text bubble or Click Next.", 7, {}},
        {14, "Step 7: Choose another text bubble or Click Next.", 7, {"Step 7 Help Tip: tip 9"}},
        {15, "Step 8: Finish your picture and email or export it!", 8, {"Step 8 Help Tip: tip 10"}},
        {16, "", 8, {}},
        {-1, "", 0, {}},
    };
    // A tip and its follow-up show in one dialog, each with its own picture.
    person.duringTip = [](Tutor& tip) {
        EXPECT_EQ(Shown(*tip.Picture()), TipPicture(tip.m_tip).convertToFormat(QImage::Format_RGB32)) << tip.m_tip;
    };
    for (const Row& row : rows) {
        person.shown.clear();
        const int runs = person.runs;
        bar.SetStep(row.state, false);
        EXPECT_EQ(bar.Text(), QString::fromLatin1(row.text)) << row.state;
        EXPECT_EQ(bar.Step(), row.step) << row.state;
        EXPECT_EQ(pictures.Highlighted(), row.step) << row.state;
        EXPECT_EQ(person.shown, row.tips) << row.state;
        EXPECT_EQ(person.runs - runs, row.tips.isEmpty() ? 0 : 1) << row.state;
    }
}

TEST_F(StepBarTest, NoTipWhenTheCallerOrEitherStoreSaysSo)
{
    bar.SetStep(3, true);
    ASSERT_TRUE(stores.settings.WriteRegistryInt(Settings::ConfigKey, "TutorialOff", -1, 1));
    bar.SetStep(6, false);
    ASSERT_TRUE(stores.settings.WriteRegistryInt(Settings::ConfigKey, "TutorialOff", -1, 0));
    ASSERT_TRUE(stores.settings.WriteIniInt("TutorialOff", 7));
    bar.SetStep(8, false);
    EXPECT_EQ(person.runs, 0);
    EXPECT_EQ(bar.Text(), QStringLiteral("Step 4: Outline face, then click Next."));  // the rest follows
    EXPECT_EQ(pictures.Highlighted(), 4);

    // Continue writes the box to both stores on every press: ticked switches the tips off...
    ASSERT_TRUE(stores.settings.WriteIniInt("TutorialOff", 0));
    person.tickDontShow = true;
    bar.SetStep(1, false);
    EXPECT_EQ(RegistryTutorialOff(), 1);
    EXPECT_EQ(IniTutorialOff(), 1u);
    bar.SetStep(3, false);
    EXPECT_EQ(person.runs, 1);
    // ...and unticked on again.
    person.tickDontShow = false;
    Tutor::Run(stores.settings, 2, 0, 0);
    EXPECT_EQ(RegistryTutorialOff(), 0);
    EXPECT_EQ(IniTutorialOff(), 0u);
}

TEST_F(StepBarTest, UndoShowsNoTipAndRedoDoes)
{
    ScopedAppPaths paths;
    Document document;
    document.step = 8;
    ASSERT_TRUE(document.journal.AddStep(9));  // Next Step at the outline: the placing step, stored as 10
    EXPECT_EQ(person.shown, QStringList{"Step 5 Help Tip: tip 6"});
    document.journal.Undo();
    EXPECT_EQ(document.step, 8);
    EXPECT_EQ(bar.Text(), QStringLiteral("Step 4: Outline face, then click Next."));
    EXPECT_EQ(person.shown.size(), 1);  // state 8 has a tip, but an undo shows none
    document.journal.Redo();
    EXPECT_EQ(person.shown, (QStringList{"Step 5 Help Tip: tip 6", "Step 5 Help Tip: tip 6"}));
}

TEST_F(StepBarTest, TipLayoutPictureAndKeys)
{
    Tutor tip(stores.settings, 3, 1, 0);
    EXPECT_EQ(tip.size(), QSize(476, 299));
    EXPECT_EQ(tip.ContinueButton()->geometry(), QRect(356, 270, 108, 23));
    EXPECT_TRUE(tip.ContinueButton()->isDefault());
    EXPECT_EQ(tip.DontShowAgain()->geometry(), QRect(236, 270, 113, 23));
    EXPECT_EQ(tip.DontShowAgain()->text(), QStringLiteral("Don't Show Again"));
    EXPECT_EQ(tip.Picture()->geometry(), QRect(11, 11, 438, 219));
    EXPECT_EQ(tip.windowTitle(), QStringLiteral("Step 1 Help Tip"));
    ShowAndExpose(tip);
    const QImage grab = SaveGrab(tip, "tip");
    // The picture is centred in its control: its middle 438 x 219 shows, from (2, 36) of the tip
    // (the half pixel left over goes to the top).
    const QImage picture = TipPicture(3).convertToFormat(QImage::Format_RGB32);
    const QImage shown = grab.copy(11, 11, 438, 219).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, picture.copy(2, 36, 438, 219));

    // Escape and the close box do nothing; Enter continues.
    bool stillUp = false;
    QTimer::singleShot(0, &tip, [&] {
        QTest::keyClick(&tip, Qt::Key_Escape);
        tip.close();
        stillUp = tip.isVisible();
        QTest::keyClick(&tip, Qt::Key_Return);
    });
    EXPECT_EQ(tip.exec(), QDialog::Accepted);
    EXPECT_TRUE(stillUp);
    EXPECT_EQ(RegistryTutorialOff(), 0);
}

TEST_F(StepBarTest, RegressionEachTipOwnsItsPicture)
{
    Tutor open(stores.settings, 3, 1, 0);
    // A second tip opens and closes while the first is up (a nested tick).
    Tutor::Run(stores.settings, 4, 3, 0);
    { Tutor another(stores.settings, 5, 4, 0); }
    EXPECT_EQ(Shown(*open.Picture()), TipPicture(3).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(open.TipImage(), TipPicture(3));
}

TEST_F(StepBarTest, StepPicturesHighlightTheCurrentStep)
{
    const int x[] = {3, 99, 195, 291, 387, 483, 612, 687};
    for (int32_t n : {8, 1, 0}) {
        pictures.SetStepImages(n);
        for (int32_t i = 0; i < StepPictures::StepCount; ++i) {
            EXPECT_EQ(pictures.Picture(i)->objectName(), QString::number(1034 + i));
            EXPECT_EQ(pictures.Picture(i)->pos(), QPoint(x[i], 3)) << i;
            const int32_t id = i == n - 1 ? ResourceId::StepCurrentFirst + i : ResourceId::StepOtherFirst + i;
            EXPECT_EQ(Shown(*pictures.Picture(i)), Bitmap(id)) << n << " " << i;
        }
    }
}

TEST_F(StepBarTest, ShowsTheStepPicturesAndTheBarInAWindow)
{
    QMainWindow window;
    auto* strip = new StepPictures;
    auto* windowBar = new StepBar(stores.settings);
    windowBar->SetStepImagesTarget(strip);
    window.setMenuWidget(strip);
    window.setCentralWidget(new QWidget);
    window.setStatusBar(windowBar);
    window.resize(800, 200);
    windowBar->SetStep(6, true);
    ShowAndExpose(window);
    strip->SetStepImages(2);  // out of line: the bar's next repaint brings the pictures back
    windowBar->PicturesPane()->repaint();
    EXPECT_EQ(strip->Highlighted(), 3);
    const QImage image = SaveGrab(window, "stepbar");
    // Step 3's picture is the orange one at (195, 3).
    const QColor orange = image.pixelColor(strip->Picture(2)->pos() + QPoint(4, 4));
    EXPECT_GT(orange.red(), orange.blue() + 80);
    const QColor grey = image.pixelColor(strip->Picture(0)->pos() + QPoint(4, 4));
    EXPECT_LT(std::abs(grey.red() - grey.blue()), 20);
}

// In the running program: a menu entry highlighted by the keyboard and by the mouse, and the mouse on a
// tool bar button, leave the step text on the status line.
TEST_F(ProgramTest, RegressionHighlightingAMenuEntryKeepsTheStepText)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    StepBar& bar = *frame.Steps();
    // The step text, with no message over it (which would hide the text's pane).
    const auto showsTheStepText = [&bar] {
        return bar.Text() == QStringLiteral("Please press Start.") && bar.currentMessage().isEmpty() &&
               bar.TextPane()->isVisible();
    };
    ASSERT_TRUE(showsTheStepText());
    QMenuBar& menuBar = *frame.MenuBar();
    for (QAction* title : {menuBar.actions().first(), menuBar.actions().last()}) {  // File and Help
        QMenu& menu = *title->menu();
        SCOPED_TRACE(title->text().toStdString());
        QTest::mouseClick(&menuBar, Qt::LeftButton, {}, menuBar.actionGeometry(title).center());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
        QTest::keyClick(&menu, Qt::Key_Down);  // an open menu takes the keys
        ASSERT_NE(menu.activeAction(), nullptr);
        EXPECT_FALSE(menu.activeAction()->statusTip().isEmpty());  // a prompt there was to show
        EXPECT_TRUE(showsTheStepText());
        QAction* last = menu.actions().last();  // Exit, About: enabled at the start
        QTest::mouseMove(&menu, menu.actionGeometry(last).center());
        EXPECT_EQ(menu.activeAction(), last);
        EXPECT_TRUE(showsTheStepText());
        QTest::keyClick(&menu, Qt::Key_Escape);
        ASSERT_TRUE(Settle([&] { return !menu.isVisible(); }));
    }
    QToolButton* next = frame.Tools()->Button(0);
    QTest::mouseMove(next, next->rect().center());
    EXPECT_TRUE(showsTheStepText());
    SaveGrab(frame, "status-line");
}

} // namespace
