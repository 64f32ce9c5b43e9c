// File > Open Project as a person meets it: what the window shows while each tip and message is up.
#include "WizardWalk.h"

#include "support/Bytes.h"
#include "support/LayerPictures.h"
#include "support/TestFiles.h"

#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerInfo.h"
#include "engine/layers/LayerKind.h"
#include "shell/LayerView.h"
#include "shell/MainFrame.h"
#include "shell/Tutor.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// One line for what comes up: the tip's number or the message's first line, then the window's title, the
// layers panel's rows and which of its buttons (Up, Down, Delete) stand enabled.
QString Describe(WizardWalk& walk, QDialog& dialog)
{
    QString what;
    if (auto* tip = dynamic_cast<Tutor*>(&dialog))
        what = QStringLiteral("tip %1").arg(tip->m_tip);
    else if (auto* box = qobject_cast<QMessageBox*>(&dialog))
        what = box->text().section(QLatin1Char('\n'), 0, 0);
    LayerView& panel = *walk.Frame().Layers();
    QString buttons;
    buttons += panel.UpButton()->isEnabled() ? QLatin1Char('U') : QLatin1Char('-');
    buttons += panel.DownButton()->isEnabled() ? QLatin1Char('D') : QLatin1Char('-');
    buttons += panel.DeleteButton()->isEnabled() ? QLatin1Char('X') : QLatin1Char('-');
    return QStringLiteral("%1 | %2 | rows %3 | %4")
        .arg(what, walk.Frame().windowTitle())
        .arg(panel.List()->topLevelItemCount())
        .arg(buttons);
}

// A finished project opened with File > Open Project over the composition it was saved from: the step's
// tip comes once the open has finished (the layers there, the title the file's, any message given), and a
// damaged file's message never stands over panel buttons enabled for an empty list.
TEST(OpenProjectTest, RegressionTheTipOfAnOpenedProjectWaitsUntilTheOpenHasFinished)
{
    WizardWalk walk;
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.WalkTo(StepAccessories));
    ASSERT_TRUE(walk.AddAccessory(0));
    ASSERT_TRUE(walk.WalkTo(StepFinish));
    ASSERT_TRUE(walk.SaveProject(walk.Path(QStringLiteral("finished.smg"))));
    const QByteArray saved = ReadFile(walk.Path(QStringLiteral("finished.smg")));
    const int rows = g_document->layers.GetCount();
    ASSERT_GE(rows, 2);
    const QString all = QStringLiteral("| rows %1 | ").arg(rows);  // the accessory, last, selected: Up and Delete

    LayerInfo hat;
    hat.kind = LayerKindAccessory;
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList shown;  // every tip and message, in order
    } const cases[] = {
        {"whole", saved, {"tip 10 | whole.smg - Snapmingle " + all + "U-X"}},
        // Cut inside a last record's common part: the layers before it, told, then the tip.
        {"early", saved + CommonPart(LayerFlagsAccessory, 0, hat).Get().left(10),
         {"\"" + walk.Path("early.smg") + "\" ends early. Only the part before that point was opened. | "
              "early.smg - Snapmingle " + all + "U-X",
          "tip 10 | early.smg - Snapmingle " + all + "U-X"}},
        // A picture block cut short: told over an empty panel, and a new project with its own tips.
        {"damaged", saved + CommonPart(LayerFlagsFace, 0, LayerInfo()).Str("IMG").U32(50).Append("\x89PNG").Get(),
         {"Could not open \"" + walk.Path("damaged.smg") + "\". | Untitled - Snapmingle | rows 0 | ---",
          "tip 1 | Untitled - Snapmingle | rows 0 | ---"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = walk.Path(QStringLiteral("%1.smg").arg(c.name));
        WriteFile(path, c.bytes);
        QStringList shown;
        walk.onShown = [&](QDialog& dialog) { shown << Describe(walk, dialog); };
        walk.Answer([&](QDialog& dialog) { WizardWalk::TypeFileName(dialog, path); });
        ASSERT_TRUE(walk.ChooseMenuItem("File", "Open Project..."));
        ASSERT_TRUE(WizardWalk::Settle([] { return WizardWalk::AllLoaded(); }));
        walk.onShown = nullptr;
        EXPECT_EQ(walk.PendingAnswers(), 0);
        EXPECT_EQ(shown, c.shown);
    }
    walk.End();
}

} // namespace
