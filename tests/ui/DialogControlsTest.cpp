#include "platform/DialogFont.h"
#include "platform/DialogTemplate.h"
#include "platform/ui/DialogControls.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <utility>

namespace {

using platform::ControlKind;
using platform::ControlStyle;
using platform::DialogControl;
using platform::DialogControls;
using platform::DialogTemplate;

// A layout with a control of every kind.
DialogTemplate Sample()
{
    DialogTemplate dialog{1, QStringLiteral("Sample"), {93, 26}, QStringLiteral("MS Shell Dlg"), 8,
                          platform::DialogFrame::Modal, {}};
    dialog.controls = {
        {1, ControlKind::PushButton, QStringLiteral("OK"), {136, 134, 50, 14}, ControlStyle::DefaultButton, 0},
        {2, ControlKind::CheckBox, QStringLiteral("Don't Show Again"), {157, 166, 75, 14}, {}, 0},
        {DialogControl::NoControlId, ControlKind::Static, QStringLiteral("To:"), {8, 72, 12, 10},
         ControlStyle::TextCentred, 0},
        {10, ControlKind::Static, QStringLiteral("Fish && &Chips"), {7, 7, 79, 29}, {}, 0},
        {11, ControlKind::Static, QStringLiteral("A && B"), {7, 7, 79, 29}, ControlStyle::NoPrefix, 0},
        {1016, ControlKind::Picture, {}, {7, 7, 292, 135}, ControlStyle::ImageCentred, 0},
        {1034, ControlKind::Picture, {}, {2, 2, 0, 0}, {}, 151},
        {1035, ControlKind::Icon, {}, {14, 14, 0, 0}, {}, 128},
        {1000, ControlKind::Edit, QStringLiteral("text"), {7, 7, 246, 58},
         ControlStyle::MultiLine | ControlStyle::Border, 0},
        {1023, ControlKind::Edit, {}, {96, 5, 92, 12}, ControlStyle::Border, 0},
        {1010, ControlKind::List, QStringLiteral("Layers"), {0, 20, 159, 77}, ControlStyle::SingleSelection, 0},
        {1003, ControlKind::TrackBar, {}, {55, 7, 184, 24}, {}, 0},
        {1022, ControlKind::ProgressBar, {}, {7, 34, 79, 14}, {}, 0},
    };
    return dialog;
}

TEST(DialogControlsTest, BuildsEveryControlAtItsPixelRectangle)
{
    QDialog dialog;
    const DialogControls controls = DialogControls::Build(Sample(), dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Sample"));
    EXPECT_EQ(dialog.size(), QSize(140, 42));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.font().pixelSize(), platform::DialogFontPixelSize);

    // 6 x 13 pixels per 4 x 8 units. A picture without a size takes its bitmap's (the closed folder,
    // 16 x 14); an icon is 32 x 32.
    const std::pair<int32_t, QRect> placed[] = {
        {1, {204, 218, 75, 23}},    {2, {236, 270, 113, 23}}, {1022, {11, 55, 119, 23}},
        {1016, {11, 11, 438, 219}}, {1034, {3, 3, 16, 14}},   {1035, {21, 23, 32, 32}},
    };
    for (const auto& [control, rect] : placed) {
        ASSERT_NE(controls.Find(control), nullptr) << control;
        EXPECT_EQ(controls.Find(control)->geometry(), rect) << control;
    }
    EXPECT_TRUE(controls.Get<QPushButton>(1)->isDefault());
    EXPECT_NE(controls.Get<QCheckBox>(2), nullptr);
    EXPECT_EQ(controls.Get<QPlainTextEdit>(1000)->toPlainText(), QStringLiteral("text"));
    EXPECT_NE(controls.Get<QLineEdit>(1023), nullptr);
    EXPECT_EQ(controls.Get<QTreeWidget>(1010)->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(controls.Get<QTreeWidget>(1010)->headerItem()->text(0), QStringLiteral("Layers"));
    EXPECT_EQ(controls.Get<QSlider>(1003)->orientation(), Qt::Horizontal);
    EXPECT_NE(controls.Get<QProgressBar>(1022), nullptr);
    EXPECT_EQ(controls.Find(1016)->objectName(), QStringLiteral("1016"));
    EXPECT_EQ(controls.Find(99), nullptr);
    EXPECT_EQ(controls.Get<QSlider>(1), nullptr);  // the wrong kind
}

TEST(DialogControlsTest, StaticTextAndPicturesFollowTheirStyles)
{
    QWidget panel;
    DialogTemplate layout = Sample();
    layout.frame = platform::DialogFrame::Child;
    const DialogControls controls = DialogControls::Build(layout, panel);
    EXPECT_EQ(panel.size(), QSize(140, 42));

    EXPECT_EQ(controls.Get<QLabel>(10)->text(), QStringLiteral("Fish & Chips"));
    EXPECT_EQ(controls.Get<QLabel>(11)->text(), QStringLiteral("A && B"));
    const auto labels = panel.findChildren<QLabel*>();
    const auto to = std::find_if(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "To:"; });
    ASSERT_NE(to, labels.end());
    EXPECT_TRUE((*to)->alignment().testFlag(Qt::AlignHCenter));

    EXPECT_EQ(controls.Get<QLabel>(1034)->pixmap().size(), QSize(16, 14));
    EXPECT_EQ(controls.Get<QLabel>(1016)->alignment(), Qt::AlignCenter);
}

} // namespace
