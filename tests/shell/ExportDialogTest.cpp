#include "ShellTestSupport.h"

#include "platform/ui/CommandReceiver.h"
#include "platform/ui/CommandRouter.h"
#include "shell/ExportDialog.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr std::array<int32_t, 4> Ids{ExportDialog::SaveProjectId, ExportDialog::SavePictureId,
                                     ExportDialog::NewProjectId, ExportDialog::SendPictureId};

class ExportDialogTest : public ::testing::Test {
protected:
    ExportDialogTest()
    {
        for (const int32_t id : Ids)
            commands.On(id, [this, id] { ran.push_back(id); });
        commands.OnUpdate(ExportDialog::SendPictureId, [this](platform::CommandUI& ui) { ui.Enable(canSend); });
        host.resize(400, 400);
        panel->resize(225, 300);
        ShowAndExpose(host);
    }

    platform::CommandRouter router;
    platform::CommandReceiver commands{router, platform::CommandStage::Document};
    bool canSend = true;
    std::vector<int32_t> ran;
    QWidget host;  // the tab's pane
    ExportDialog* panel = new ExportDialog(router, &host);
};

TEST_F(ExportDialogTest, StacksItsButtonsOnWhiteAroundThePanesCentreAndRunsTheirCommands)
{
    const QImage grab = SaveGrab(*panel, "export-panel");
    for (const QPoint at : {QPoint(2, 2), QPoint(20, 150), QPoint(112, 100), QPoint(222, 297)})
        EXPECT_EQ(grab.pixel(at), qRgb(255, 255, 255)) << at.x() << ", " << at.y();

    const QStringList texts{"Save Project", "Save Picture", "New Project", "Send Picture"};
    struct Case {
        QSize pane;
        QPoint first;  // the others 50 pixels apart below it
    };
    // The second pane is one pixel larger each way; the third smaller than the stack.
    for (const Case& test : {Case{{225, 300}, {42, 54}}, Case{{226, 301}, {43, 54}}, Case{{100, 80}, {-20, -56}}}) {
        panel->resize(test.pane);
        for (int i = 0; i < 4; ++i) {
            const QPushButton* button = panel->Button(Ids[static_cast<size_t>(i)]);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), texts[i]);
            EXPECT_EQ(button->geometry(), QRect(test.first + QPoint(0, 50 * i), QSize(140, 42))) << i;
        }
    }

    // Each button runs its command while enabled.
    panel->resize(225, 300);
    for (const int32_t id : Ids)
        QTest::mouseClick(panel->Button(id), Qt::LeftButton);
    EXPECT_EQ(ran, std::vector<int32_t>(Ids.begin(), Ids.end()));

    canSend = false;
    router.UpdateActions();
    EXPECT_FALSE(panel->Button(ExportDialog::SendPictureId)->isEnabled());
    QTest::mouseClick(panel->Button(ExportDialog::SendPictureId), Qt::LeftButton);
    EXPECT_EQ(ran.size(), Ids.size());
}

} // namespace
