// The export panel as a person meets it at the wizard's last step, in the real program's frame: the Export
// tab open by itself, the pane white with its four buttons stacked on its centre line, at the frame's
// 800 x 600 and after the window is resized; each button, clicked where it is drawn, runs its command.
#include "WizardWalk.h"

#include "support/TestPictures.h"

#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "shell/ExportDialog.h"
#include "shell/MainFrame.h"
#include "shell/TabView.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <utility>

namespace {

// The stack's buttons, each with its centre's offset from the pane's centre.
constexpr std::pair<const char*, int> Stack[] = {
    {"Save Project", -75}, {"Save Picture", -25}, {"New Project", 25}, {"Send Picture", 75}};

QPoint StackPoint(const ExportDialog& panel, int offset)
{
    return QPoint(panel.width() / 2, panel.height() / 2 + offset);
}

// How many pixels of the rectangle in the picture are not white.
int NonWhitePixels(const QImage& picture, const QRect& rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += picture.pixel(x, y) != qRgb(255, 255, 255);
    }
    return count;
}

TEST(ExportPanelTest, RegressionTheLastStepShowsAnEmptyGreyPaneInsteadOfTheExportPanel)
{
    WizardWalk walk;
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.WalkTo(StepFinish));
    CMainFrame& frame = walk.Frame();
    TabView& tabs = *frame.Tabs();
    auto* panel = dynamic_cast<ExportDialog*>(tabs.Page(ContentTabExport));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(tabs.ActiveTab(), ContentTabExport);

    for (const QSize size : {QSize(800, 600), QSize(1000, 720), QSize(820, 540)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        frame.resize(size);
        ASSERT_TRUE(WizardWalk::Settle([&] { return frame.size() == size && panel->isVisible(); }));
        // The pane as the frame draws it.
        const QImage shot = frame.grab().toImage();
        SaveForALook(shot, QStringLiteral("walk-export-%1x%2").arg(size.width()).arg(size.height()));
        const QRect pane(panel->mapTo(&frame, QPoint(0, 0)), panel->size());
        ASSERT_TRUE(shot.rect().contains(pane));
        ASSERT_GT(pane.height(), 200);
        // White around the stack: its corners, and beside the stack on the centre line.
        for (const QPoint at : {pane.topLeft() + QPoint(2, 2), pane.bottomRight() - QPoint(2, 2),
                                QPoint(pane.left() + 4, pane.center().y())})
            EXPECT_EQ(shot.pixel(at), qRgb(255, 255, 255)) << at.x() << ", " << at.y();
        for (const auto& [text, offset] : Stack) {
            const QPoint at = StackPoint(*panel, offset);
            auto* button = qobject_cast<QPushButton*>(panel->childAt(at));
            ASSERT_NE(button, nullptr) << text;
            EXPECT_EQ(button->text(), QString::fromLatin1(text));
            EXPECT_TRUE(button->isEnabled()) << text;
            // Centred on the line, and drawn: its label's ink at its centre.
            const QPoint off = button->geometry().center() - at;
            EXPECT_TRUE(std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1) << text;
            const QPoint centre = panel->mapTo(&frame, at);
            EXPECT_GT(NonWhitePixels(shot, QRect(centre - QPoint(20, 5), QSize(40, 10))), 20) << text;
        }
    }

    // Each button clicked where it is drawn opens its command's dialog (each one cancelled).
    QStringList opened;
    for (const auto& [text, offset] : Stack) {
        const QPoint at = StackPoint(*panel, offset);
        auto* button = qobject_cast<QPushButton*>(panel->childAt(at));
        ASSERT_NE(button, nullptr) << text;
        walk.Answer([&](QDialog& dialog) {
            opened << dialog.windowTitle();
            dialog.reject();
        });
        walk.messageReply = QMessageBox::Cancel;
        QTest::mouseClick(button, Qt::LeftButton, {}, button->mapFrom(panel, at));
    }
    EXPECT_EQ(opened, (QStringList{"Save As", "Save As", "E-mail picture to your \"friends\""}));
    EXPECT_EQ(walk.told, (QStringList{"Snapmingle: Save changes to Untitled?"}));
    EXPECT_EQ(walk.PendingAnswers(), 1);  // New Project asks in a message box only
    EXPECT_EQ(g_document->step, StepFinish);
}

} // namespace
