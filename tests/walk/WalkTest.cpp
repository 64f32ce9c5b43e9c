// The whole wizard as a person walks it, in the real program started as main starts it: from an empty
// cache to a saved picture, a sent picture and a saved project, and the project opened again; then the
// other ways a person goes, each walk brought to its step by WizardWalk::WalkTo.
#include "WizardWalk.h"

#include "support/TestFiles.h"

#include "engine/document/CommandId.h"
#include "engine/document/Document.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"
#include "engine/view/DocumentView.h"
#include "engine/view/InputBox.h"
#include "library/browser/SceneTree.h"
#include "library/share/ShareService.h"
#include "shell/ExportDialog.h"
#include "shell/LayerView.h"
#include "shell/MainFrame.h"
#include "shell/PaneSplitters.h"
#include "shell/StepBar.h"
#include "shell/StepPictures.h"
#include "shell/TabView.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <cmath>
#include <numbers>
#include <tuple>

// Texts in failure messages as text.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// The layers' kinds, back to front as the document keeps them.
QStringList LayerKinds()
{
    QStringList kinds;
    for (const Node* node = g_document->layers.next; node != &g_document->layers; node = node->next)
        kinds << QString::number(static_cast<const Layer*>(node)->kind);
    return kinds;
}

Layer* LayerAt(int32_t index)
{
    return g_document->layers.GetAt(index);
}

const QImage& Working(const Layer& layer)
{
    return *static_cast<const ImageReference*>(const_cast<Layer&>(layer).GetImage())->Picture();
}

// How many of the layer's working pixels are wholly clear.
int ClearPixels(const Layer& layer)
{
    const QImage& working = Working(layer);
    int clear = 0;
    for (int y = 0; y < working.height(); ++y) {
        for (int x = 0; x < working.width(); ++x)
            clear += qAlpha(working.pixel(x, y)) == 0;
    }
    return clear;
}

// How many of the pixels in rect differ from the other picture's by more than tolerance in a channel.
int DifferingPixels(const QImage& a, const QImage& b, const QRect& rect, int tolerance)
{
    int differing = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            differing += std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                         std::abs(qBlue(p) - qBlue(q)) > tolerance;
        }
    }
    return differing;
}

// The mean absolute difference per channel of two pictures of one size.
double MeanDifference(const QImage& a, const QImage& b)
{
    double total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return total / (3.0 * a.width() * a.height());
}

// The step bar's text of each wizard state.
QString StepText(int32_t state)
{
    static const char* const texts[] = {
        "Please press Start.",
        "Step 1: Choose a Background Scene.",
        "Step 1: Choose another Background Scene or Click Next.",
        "Step 2: Choose a Face.",
        "Step 2: Choose another Face or Click Next.",
        "Step 3: Select face, then click Next.",
        "Step 3: Select face, then click Next.",
        "Step 4: Outline face, then click Next.",
        "Step 4: Outline face, then click Next.",
        "Step 5: Place face, then click Next.",
        "Step 5: Place face, then click Next.",
        "Step 6: Choose accessories or Click Next.",
        "Step 6: Choose accessories or Click Next.",
        "Step 7: Choose a text bubble or Click Next.",
        "Step 7: Choose another text bubble or Click Next.",
        "Step 8: Finish your picture and email or export it!",
    };
    return QString::fromLatin1(texts[state]);
}

// The content tab shown at each wizard state: the scene and face browser, none while the face is edited,
// the accessories, the bubbles, the export panel.
int ShownTab(int32_t state)
{
    if (state <= StepFaceChosen)
        return 0;
    if (state <= StepPlaceFace)
        return -1;
    if (state <= StepAccessories)
        return 1;
    return state <= StepBubble ? 2 : 3;
}

// Whatever the way the wizard got to its state, the window shows that state: the step bar's text and
// picture, the column (hidden at the start) and the one content tab of the state.
void ExpectWindowAtItsState(const CMainFrame& frame)
{
    const int32_t state = g_document->step;
    EXPECT_EQ(frame.Steps()->Text(), StepText(state)) << state;
    EXPECT_EQ(frame.Pictures()->Highlighted(), (state + 1) >> 1) << state;
    EXPECT_EQ(frame.Splitters().IsRightColumnShown(), state != StepStart) << state;
    for (int tab = 0; tab < TabView::TabCount; ++tab)
        EXPECT_EQ(frame.Tabs()->IsTabShown(tab), tab == ShownTab(state)) << state << " tab " << tab;
}

// Presses Ctrl+key until the journal stops moving, checking the window at every state it passes; returns
// the number of presses that moved it.
int PressWhileMoving(WizardWalk& walk, Qt::Key key)
{
    for (int presses = 0; presses < 200; ++presses) {
        const int32_t position = g_document->journal.GetPosition();
        walk.PressKey(key, Qt::ControlModifier);
        ExpectWindowAtItsState(walk.Frame());
        if (g_document->journal.GetPosition() == position)
            return presses;
    }
    return -1;
}

class WalkTest : public ::testing::Test {
protected:
    WizardWalk walk;
};

TEST_F(WalkTest, FromAnEmptyCacheToASavedSentAndReopenedProject)
{
    // Start-up with an empty cache: the three index files download under the progress dialog.
    ASSERT_TRUE(walk.Start());
    EXPECT_EQ(walk.progressDialogs, 3);
    for (const char* name : {"EncList.txt", "ThumbsA.txt", "ThumbsB.txt"})
        EXPECT_GT(QFileInfo(walk.CacheFolder() + "/" + name).size(), 0) << name;
    CMainFrame& frame = walk.Frame();
    ExpectWindowAtItsState(frame);
    const QImage empty = walk.GrabView("0-start");

    // Start, then a scene from the browser.
    ASSERT_TRUE(walk.WalkTo(StepSceneChosen));
    ExpectWindowAtItsState(frame);
    const QImage bareScene = walk.Render("bare.png");
    const QImage withScene = walk.GrabView("1-scene");
    EXPECT_GT(DifferingPixels(empty, withScene, withScene.rect(), 16), withScene.width() * withScene.height() / 4);

    // The face: Next opens the face browser's dialog for a picture of our own; the face is selected, in
    // front of the scene's photo layer, a small picture scaled up by a whole factor.
    ASSERT_TRUE(walk.WalkTo(StepFaceChosen));
    ExpectWindowAtItsState(frame);
    ASSERT_EQ(LayerKinds(), (QStringList{"3", "0"}));
    ASSERT_EQ(g_document->selectedIndex, 1);
    Layer& face = *LayerAt(1);
    EXPECT_EQ(static_cast<int>(face.size.x) % 640, 0);
    EXPECT_EQ(face.size.x / 640, face.size.y / 427);

    // Crop: the rectangle tracker's top-left corner dragged outwards.
    ASSERT_TRUE(walk.WalkTo(StepSelectFace));
    ExpectWindowAtItsState(frame);
    const PointF cropBefore = face.cropTopLeft;
    ASSERT_TRUE(walk.DragCropCorner({-100, -60}));
    EXPECT_NEAR(face.cropTopLeft.x, cropBefore.x - 100 / face.size.x, 0.01f);
    EXPECT_NEAR(face.cropTopLeft.y, cropBefore.y - 60 / face.size.y, 0.01f);

    // Outline: the wizard's erase brush along a line near the top of the crop takes the stroke and
    // everything between it and the crop's edge off the face's mask.
    ASSERT_TRUE(walk.WalkTo(StepOutlineFace));
    ExpectWindowAtItsState(frame);
    EXPECT_EQ(g_document->tool, ToolOutline);
    const auto alphaAt = [&](QPointF work) {
        return qAlpha(Working(face).pixel(static_cast<int>(face.cropTopLeft.x * face.size.x + work.x()),
                                          static_cast<int>(face.cropTopLeft.y * face.size.y + work.y())));
    };
    ASSERT_EQ(alphaAt({180, 60}), 255);
    ASSERT_EQ(alphaAt({180, 20}), 255);
    ASSERT_TRUE(walk.DragInView({60, 60}, {{180, 60}, {300, 60}}));
    EXPECT_EQ(alphaAt({180, 60}), 0);
    EXPECT_EQ(alphaAt({180, 20}), 0);
    EXPECT_EQ(alphaAt({180, 200}), 255);
    walk.GrabView("4-outline");

    // Place: the face is fitted to the scene and dragged by its middle.
    ASSERT_TRUE(walk.WalkTo(StepPlaceFace));
    ExpectWindowAtItsState(frame);
    EXPECT_EQ(g_document->selectedIndex, 1);
    const PointF placed = face.position;
    ASSERT_TRUE(walk.MoveSelectedLayer({40, 20}));
    const float pixel = 1.0f / frame.View()->scale;  // a view pixel in the document
    EXPECT_NEAR(face.position.x, placed.x + 40, 2 * pixel);
    EXPECT_NEAR(face.position.y, placed.y + 20, 2 * pixel);

    // The mask: the Paint tool brings part of the cut-away top back, the Erase tool takes a stroke out.
    const QPointF halfFrame(face.GetCropExtent().x * face.size.x * face.scale.x / 2,
                            face.GetCropExtent().y * face.size.y * face.scale.y / 2);
    const QPointF centre(face.position.x, face.position.y);
    const int clearBefore = ClearPixels(face);
    ASSERT_TRUE(walk.PressToolButton(CommandId::Paint));
    const QPointF top = centre - QPointF(0, halfFrame.y() * 0.9);
    ASSERT_TRUE(walk.DragInView(top - QPointF(halfFrame.x() / 2, 0), {top, top + QPointF(halfFrame.x() / 2, 0)}));
    const int clearPainted = ClearPixels(face);
    EXPECT_LT(clearPainted, clearBefore);
    ASSERT_TRUE(walk.PressToolButton(CommandId::Erase));
    ASSERT_TRUE(walk.DragInView(centre - QPointF(halfFrame.x() / 2, 0), {centre, centre + QPointF(halfFrame.x() / 2, 0)}));
    EXPECT_GT(ClearPixels(face), clearPainted);
    ASSERT_TRUE(walk.PressToolButton(CommandId::MoveResize));

    // Colour: Auto Adjust in the Adjust Color dialog, then OK.
    ASSERT_TRUE(walk.AutoAdjustColour());
    EXPECT_TRUE(face.redGamma != Layer::DefaultGamma || face.greenGamma != Layer::DefaultGamma ||
                face.blueGamma != Layer::DefaultGamma);
    walk.GrabView("5-place");

    // Two accessories (nothing selected on entering the step), then a bubble whose text is typed in the
    // Edit Text dialog that a double click on it opens.
    ASSERT_TRUE(walk.WalkTo(StepAccessories));
    ExpectWindowAtItsState(frame);
    EXPECT_EQ(g_document->selectedIndex, -1);
    ASSERT_TRUE(walk.AddAccessory(0));
    ASSERT_TRUE(walk.AddAccessory(1));
    ASSERT_TRUE(walk.WalkTo(StepBubble));
    ASSERT_TRUE(walk.AddBubble(0));
    ExpectWindowAtItsState(frame);
    ASSERT_EQ(LayerKinds(), (QStringList{"3", "0", "1", "1", "4"}));
    EXPECT_EQ(g_document->selectedIndex, 4);
    ASSERT_TRUE(walk.EditBubbleText("Hello\nthere!"));
    EXPECT_EQ(LayerAt(4)->GetText(), QStringLiteral("Hello\r\nthere!"));
    walk.GrabView("7-bubble");

    // The finish: the layers panel reorders and deletes with real clicks.
    ASSERT_TRUE(walk.WalkTo(StepFinish));
    ExpectWindowAtItsState(frame);
    ASSERT_TRUE(walk.ClickLayerRow(2));
    LayerView& panel = *frame.Layers();
    QTest::mouseClick(panel.UpButton(), Qt::LeftButton);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "1", "0", "1", "4"}));
    EXPECT_EQ(g_document->selectedIndex, 1);
    QTest::mouseClick(panel.DownButton(), Qt::LeftButton);
    EXPECT_EQ(g_document->selectedIndex, 2);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "0", "1", "1", "4"}));
    walk.messageReply = QMessageBox::Yes;
    QTest::mouseClick(panel.DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(walk.told.size(), 1);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "0", "1", "4"}));

    // The whole journal undone with Ctrl+Z, Start itself too, then redone with Ctrl+Y to the same picture;
    // the window shows every state it passes.
    const QStringList finished = LayerKinds();
    const QImage finishedRender = walk.Render("finished.png");
    const QImage finishedView = walk.GrabView("8-finish");
    const int undos = PressWhileMoving(walk, Qt::Key_Z);
    EXPECT_EQ(g_document->journal.GetPosition(), 0);
    EXPECT_EQ(g_document->step, StepStart);
    EXPECT_EQ(g_document->layers.GetCount(), 0);
    walk.GrabView("9-undone");
    EXPECT_EQ(PressWhileMoving(walk, Qt::Key_Y), undos);
    ASSERT_TRUE(WizardWalk::Settle(WizardWalk::AllLoaded));
    EXPECT_EQ(g_document->step, StepFinish);
    EXPECT_EQ(LayerKinds(), finished);
    EXPECT_EQ(LayerAt(3)->GetText(), QStringLiteral("Hello\r\nthere!"));
    const QImage redone = walk.Render("redone.png");
    // The same pixels, whatever the window drew in between (every state of the journal, the export panel).
    ASSERT_EQ(redone.size(), finishedRender.size());
    EXPECT_EQ(DifferingPixels(redone, finishedRender, redone.rect(), 0), 0);
    EXPECT_TRUE(WizardWalk::Settle([&] { return walk.GrabView("9-redone") == finishedView; }));

    // Save Picture on the export panel: the document's own render (within the JPEG's loss), which differs
    // from the bare scene where the face was put.
    const QString picturePath = walk.Path("walk.jpg");
    ASSERT_TRUE(walk.SavePicture(picturePath));
    const QImage saved = QImage(picturePath, "JPEG").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(saved.size(), bareScene.size());
    EXPECT_LT(MeanDifference(saved, finishedRender.convertToFormat(QImage::Format_RGB32)), 4.0);
    const PointF facePosition = LayerAt(1)->position;  // the face as redone
    const QRect faceArea(static_cast<int>(facePosition.x) - 20, static_cast<int>(facePosition.y) - 20, 40, 40);
    EXPECT_GT(DifferingPixels(saved, bareScene.convertToFormat(QImage::Format_RGB32), faceArea, 24),
              faceArea.width() * faceArea.height() / 2);

    // Save Project, answered with a name in the save dialog.
    const QString projectPath = walk.Path("walk.smg");
    ASSERT_TRUE(walk.SaveProject(projectPath));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("walk.smg - Snapmingle"));

    // Send Picture: the e-mail dialog filled in by typing; the picture lands in the outbox as saved.
    ASSERT_TRUE(walk.SendPicture({"Ann", "ann@example.org", "Look at this", "bob@example.org"}));
    const QString message = walk.Library().Outbox() + "/message-0001/";
    EXPECT_EQ(ReadFile(message + "fields.txt"),
              QByteArray("nameFrom=Ann\nmailFrom=ann@example.org\ntext=Look at this\nfriend1=bob@example.org\n"
                         "friend2=\nfriend3=\nfriend4=\nfriend5=\nfriend6=\nfriend7=\nfriend8=\n"
                         "MAX_FILE_SIZE=300000\nSubmit=Send\nuserfile=shareImage.jpg\n"));
    const QByteArray sent = ReadFile(message + "shareImage.jpg");
    EXPECT_EQ(sent, ReadFile(ShareService::PicturePath()));
    EXPECT_EQ(QImage::fromData(sent, "JPEG").size(), bareScene.size());

    // File > Exit closes the window without a question: the project is saved. The document still renders
    // the picture it rendered before the e-mail dialog was typed in.
    const QImage finalView = walk.GrabView("10-final");
    const QImage ending = walk.Render("ending.png");
    EXPECT_EQ(DifferingPixels(ending, finishedRender, ending.rect(), 0), 0);
    ASSERT_TRUE(walk.Exit());
    walk.End();

    // Started again with the project on the command line, with the cache warm and then empty (the index
    // files and the content download again): the stored step, the same pixels.
    for (const bool emptyCache : {false, true}) {
        if (emptyCache) {
            ASSERT_TRUE(QDir(walk.CacheFolder()).removeRecursively());
        }
        ASSERT_TRUE(walk.Start({projectPath}));
        EXPECT_EQ(walk.progressDialogs, emptyCache ? 6 : 3);
        ASSERT_TRUE(WizardWalk::Settle(WizardWalk::AllLoaded));
        EXPECT_EQ(g_document->step, StepFinish);
        EXPECT_EQ(LayerKinds(), finished);
        const QImage reopened = walk.Render("reopened.png");
        EXPECT_EQ(reopened, ending) << DifferingPixels(reopened, ending, ending.rect(), 0) << " pixels differ";
        EXPECT_TRUE(WizardWalk::Settle([&] { return walk.GrabView("11-reopened") == finalView; })) << emptyCache;
        walk.End();
    }

    // Each step's tip once, in order; again for every step that the redo re-enters (an undo shows none),
    // and the reopened project's tip for its step.
    const QStringList stepTips{"Step 1 Help Tip: tip 3",  "Step 2 Help Tip: tip 11", "Step 3 Help Tip: tip 4",
                               "Step 4 Help Tip: tip 5",  "Step 5 Help Tip: tip 6",  "Step 6 Help Tip: tip 7",
                               "Step 6 Help Tip: tip 8",  "Step 7 Help Tip: tip 9",  "Step 8 Help Tip: tip 10"};
    EXPECT_EQ(walk.tips, (QStringList{"Help Tip: tip 1", "Help Tip: tip 2"} + stepTips + stepTips +
                          QStringList{"Step 8 Help Tip: tip 10", "Step 8 Help Tip: tip 10"}));
    // The one message box of the walk was the delete question.
    const QStringList messages = walk.told.filter(QRegularExpression("^Snapmingle: "));
    ASSERT_EQ(messages.size(), 1) << walk.told.join('\n').toStdString();
    EXPECT_TRUE(messages[0].startsWith("Snapmingle: Delete the layer ")) << messages[0].toStdString();
}

// An outline closed on its starting point keeps the inside whole and cuts everything outside it.
TEST_F(WalkTest, AClosedOutlineKeepsTheInsideAndCutsEverythingOutsideWithoutASeam)
{
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.WalkTo(StepOutlineFace));
    const Layer& face = *LayerAt(1);
    const QRectF crop(QPointF(face.cropTopLeft.x * face.size.x, face.cropTopLeft.y * face.size.y),
                      QPointF(face.cropBottomRight.x * face.size.x, face.cropBottomRight.y * face.size.y));

    // Round the crop's middle in 64 moves, the last one on the starting point, as a hand closes it.
    const QPointF centre(crop.width() / 2, crop.height() / 2);
    const double radius = std::min(crop.width(), crop.height()) * 0.3;
    const auto onCircle = [&](int i) {
        const double angle = 2 * std::numbers::pi * i / 64;
        return centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    };
    std::vector<QPointF> through;
    for (int i = 1; i <= 64; ++i)
        through.push_back(onCircle(i % 64));
    ASSERT_TRUE(walk.DragInView(onCircle(0), through));
    walk.GrabView("outline-closed");

    // Well inside the stroke the face is whole; beyond it, out to the crop's border, nothing is left.
    const double brush = g_document->brushSize * 2.0 + 4.0;
    int keptOutside = 0;
    int lostInside = 0;
    for (int y = static_cast<int>(crop.top()); y < static_cast<int>(crop.bottom()); ++y) {
        for (int x = static_cast<int>(crop.left()); x < static_cast<int>(crop.right()); ++x) {
            const double d = std::hypot(x - crop.left() - centre.x(), y - crop.top() - centre.y());
            const int alpha = qAlpha(Working(face).pixel(x, y));
            keptOutside += d > radius + brush && alpha != 0;
            lostInside += d < radius - brush && alpha != 255;
        }
    }
    EXPECT_EQ(keptOutside, 0);
    EXPECT_EQ(lostInside, 0);
}

// The other ways through the content: a scene replaced (undone and redone), the face dialog cancelled, a
// face loaded through the browser's button and replaced by a people photo (undone and redone); at the
// finish a row dragged in the layers panel as one record, Magic Erase on the scene's photo, the Delete key,
// and New Project on the export panel.
TEST_F(WalkTest, ContentReplacedAndUndoneLayersDraggedErasedAndDeletedAndANewProject)
{
    ASSERT_TRUE(walk.Start());
    CMainFrame& frame = walk.Frame();
    ASSERT_TRUE(walk.WalkTo(StepSceneChosen));
    const int32_t first = g_document->scene->number;
    const QImage firstView = walk.GrabView("b-scene1");
    ASSERT_TRUE(walk.OpenBrowserFolder(*frame.Scenes(), "Scenes", QString::fromUtf8("Caf\u00e9")));
    ASSERT_TRUE(walk.ChooseScene(0));
    const int32_t second = g_document->scene->number;
    EXPECT_NE(second, first);
    const QImage secondView = walk.GrabView("b-scene2");
    EXPECT_NE(secondView, firstView);
    struct Back {
        Qt::Key key;
        int32_t scene;
        QImage view;
    };
    for (const Back& back : {Back{Qt::Key_Z, first, firstView}, Back{Qt::Key_Y, second, secondView}}) {
        walk.PressKey(back.key, Qt::ControlModifier);
        ASSERT_TRUE(WizardWalk::Settle(WizardWalk::AllLoaded));
        EXPECT_EQ(g_document->scene->number, back.scene);
        ExpectWindowAtItsState(frame);
        EXPECT_TRUE(WizardWalk::Settle([&] { return walk.GrabView("b-scene-again") == back.view; })) << back.key;
    }

    walk.Answer([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    ASSERT_TRUE(walk.PressNextStep(StepChooseFace));
    EXPECT_TRUE(WizardWalk::Settle([&] { return walk.PendingAnswers() == 0; }));
    EXPECT_EQ(g_document->step, StepChooseFace);
    ExpectWindowAtItsState(frame);
    EXPECT_EQ(frame.Tabs()->TabLabel(0), QStringLiteral("Faces"));
    EXPECT_EQ(frame.Scenes()->LoadButton()->text(), QStringLiteral("Load face from PC..."));
    walk.Answer([](QDialog& dialog) { WizardWalk::TypeFileName(dialog, DataFile("rocket.jpg")); });
    QTest::mouseClick(frame.Scenes()->LoadButton(), Qt::LeftButton);
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->step == StepFaceChosen && WizardWalk::AllLoaded(); }));
    ASSERT_EQ(LayerKinds(), (QStringList{"3", "0"}));
    ASSERT_TRUE(walk.OpenBrowserFolder(*frame.Scenes(), "People"));
    ASSERT_TRUE(walk.ClickThumbnail(*frame.Scenes(), 0));
    ASSERT_TRUE(WizardWalk::Settle([] { return LayerKinds() == QStringList{"3", "5"} && WizardWalk::AllLoaded(); }));
    EXPECT_EQ(g_document->selectedIndex, 1);
    EXPECT_EQ(g_document->step, StepFaceChosen);
    walk.PressKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "0"}));
    walk.PressKey(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "5"}));

    ASSERT_TRUE(walk.WalkTo(StepAccessories));
    ASSERT_TRUE(walk.AddAccessory(0));
    ASSERT_TRUE(walk.AddAccessory(1));
    ASSERT_TRUE(walk.WalkTo(StepBubble));
    ASSERT_TRUE(walk.AddBubble(1));
    ASSERT_TRUE(walk.WalkTo(StepFinish));
    ASSERT_EQ(LayerKinds(), (QStringList{"3", "5", "1", "1", "4"}));

    // The bubble's row dragged two rows up: one reorder, which one undo takes back.
    ASSERT_TRUE(walk.ClickLayerRow(4));
    ASSERT_TRUE(walk.DragLayerRow(4, 2));
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "5", "4", "1", "1"}));
    EXPECT_EQ(g_document->selectedIndex, 2);
    EXPECT_EQ(frame.Layers()->List()->topLevelItem(2)->text(0), LayerAt(2)->name);
    walk.PressKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "5", "1", "1", "4"}));
    EXPECT_EQ(g_document->step, StepFinish);

    // Magic Erase on the scene's photo, which is at the back: a stroke takes pixels out, undo puts them back.
    ASSERT_TRUE(walk.ClickLayerRow(0));
    const int clearBefore = ClearPixels(*LayerAt(0));
    ASSERT_TRUE(walk.PressToolButton(CommandId::MagicErase));
    ASSERT_TRUE(walk.DragInView({100, 100}, {{200, 120}, {300, 140}}));
    EXPECT_GT(ClearPixels(*LayerAt(0)), clearBefore);
    walk.GrabView("b-magic");
    walk.PressKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ClearPixels(*LayerAt(0)), clearBefore);

    // An accessory selected in the panel; the Delete key, with the focus still in the panel, asks and deletes it.
    ASSERT_TRUE(walk.ClickLayerRow(2));
    walk.messageReply = QMessageBox::Yes;
    walk.PressKey(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(walk.told.size(), 1);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "5", "1", "4"}));

    // New Project on the export panel asks to save the changes first; No starts afresh at step 0.
    walk.messageReply = QMessageBox::No;
    ASSERT_TRUE(walk.PressExportButton(ExportDialog::NewProjectId));
    EXPECT_EQ(walk.told.value(1), QStringLiteral("Snapmingle: Save changes to Untitled?"));
    EXPECT_EQ(g_document->step, StepStart);
    EXPECT_EQ(g_document->layers.GetCount(), 0);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Untitled - Snapmingle"));
    EXPECT_TRUE(WizardWalk::Settle([&] { return !frame.Splitters().IsRightColumnShown(); }));
    ExpectWindowAtItsState(frame);
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    ExpectWindowAtItsState(frame);
    EXPECT_EQ(frame.Tabs()->TabLabel(0), QStringLiteral("Scenes"));
    ASSERT_TRUE(walk.ChooseScene(0));
}

// A scene of our own and, in a larger window, a tiny palette picture as the face: the drags land where
// they are made, the placing step's tools and keys are each undone by Ctrl+Z. A picture saved twice under
// one name and sent twice; the project saved with Ctrl+S, opened through File > Open Project, its bubble's
// text changed through the tool bar, kept at Exit, and opened again from the File menu's recent files.
TEST_F(WalkTest, OwnContentLayerToolsUndoneAPictureReplacedAndSentTwiceAndAProjectReopenedFromTheMenus)
{
    ASSERT_TRUE(walk.Start());
    CMainFrame& frame = walk.Frame();
    frame.resize(1100, 800);
    ASSERT_TRUE(WizardWalk::Settle([&] { return frame.View()->width() > 600; }));
    ASSERT_TRUE(walk.WalkTo(StepChooseScene));
    walk.Answer([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select a scene to open"));
        WizardWalk::TypeFileName(dialog, DataFile("rocket.jpg"));
    });
    QTest::mouseClick(frame.Scenes()->LoadButton(), Qt::LeftButton);
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->step == StepSceneChosen && WizardWalk::AllLoaded(); }));
    EXPECT_EQ(g_document->scene->path, DataFile("rocket.jpg"));
    ASSERT_TRUE(walk.WalkTo(StepPlaceFace, DataFile("palette_color.png")));
    Layer& face = *g_document->GetSelectedLayer();
    EXPECT_GT(face.size.x, 10.0f);  // scaled up by a whole factor
    EXPECT_EQ(static_cast<int>(face.size.x) % 10, 0);
    const PointF fitted = face.position;
    ASSERT_TRUE(walk.MoveSelectedLayer({-60, 30}));
    const float pixel = 1.0f / frame.View()->scale;
    EXPECT_NEAR(face.position.x, fitted.x - 60, 2 * pixel);
    EXPECT_NEAR(face.position.y, fitted.y + 30, 2 * pixel);
    const LayerInfo placed = face;

    // Rotate: a drag from right of the middle upwards turns the face. Ctrl+Plus makes it larger, the left
    // arrow (without Ctrl) moves it a pixel; the flip button mirrors it.
    ASSERT_TRUE(walk.PressToolButton(CommandId::Rotate));
    const QPointF middle(face.position.x, face.position.y);
    const float reach = face.GetCropExtent().x * face.size.x * face.scale.x / 4;
    ASSERT_TRUE(walk.DragInView(middle + QPointF(reach, 0), {middle + QPointF(reach, -reach / 2), middle + QPointF(reach, -reach)}));
    EXPECT_NE(face.angle, placed.angle);
    walk.PressKey(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(face.scale.y, placed.scale.y);
    walk.PressKey(Qt::Key_Left, Qt::NoModifier);
    EXPECT_EQ(face.position.x, placed.position.x - 1);
    ASSERT_TRUE(walk.PressToolButton(CommandId::Flip));
    EXPECT_LT(face.scale.x, 0.0f);
    walk.GrabView("d-changed");
    for (int undo = 0; undo < 4; ++undo)
        walk.PressKey(Qt::Key_Z, Qt::ControlModifier);
    const auto pose = [](const LayerInfo& l) {
        return std::tuple(l.angle, l.scale.x, l.scale.y, l.position.x, l.position.y);
    };
    EXPECT_EQ(pose(face), pose(placed));
    EXPECT_EQ(g_document->step, StepPlaceFace);
    ASSERT_TRUE(walk.AutoAdjustColour());
    ASSERT_TRUE(walk.WalkTo(StepBubble));
    ASSERT_TRUE(walk.AddBubble(0));
    ASSERT_TRUE(walk.EditBubbleText("One"));
    ASSERT_TRUE(walk.WalkTo(StepFinish));

    // The same name twice: the second save asks to replace the file, Yes replaces it.
    const QString picture = walk.Path("twice.jpg");
    ASSERT_TRUE(walk.SavePicture(picture));
    WriteFile(picture, "not a picture");
    walk.messageReply = QMessageBox::Yes;
    ASSERT_TRUE(walk.SavePicture(picture));
    EXPECT_EQ(walk.told, QStringList{"Save As: twice.jpg already exists.\nDo you want to replace it?"});
    EXPECT_FALSE(QImage(picture, "JPEG").isNull());

    // Sent twice: two messages, each with the picture as it was saved for it.
    const QStringList fields{"Ann", "ann@example.org", "Look", "bob@example.org"};
    ASSERT_TRUE(walk.SendPicture(fields));
    ASSERT_TRUE(walk.SendPicture(fields));
    const QDir outbox(walk.Library().Outbox());
    EXPECT_EQ(outbox.entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"message-0001", "message-0002"}));
    EXPECT_EQ(ReadFile(outbox.filePath("message-0002/shareImage.jpg")), ReadFile(ShareService::PicturePath()));

    // Ctrl+S on an untitled project asks for a name; Ctrl+N begins a new one, and the saved one is opened
    // through File > Open Project.
    const QString project = walk.Path("keys.smg");
    walk.Answer([&](QDialog& dialog) { WizardWalk::TypeFileName(dialog, project); });
    walk.PressKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(walk.PendingAnswers(), 0) << walk.told.join('\n').toStdString();
    ASSERT_TRUE(QFileInfo::exists(project));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("keys.smg - Snapmingle"));
    EXPECT_FALSE(g_document->IsModified());
    const QStringList kinds = LayerKinds();
    walk.PressKey(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(g_document->step, StepStart);
    walk.Answer([&](QDialog& dialog) { WizardWalk::TypeFileName(dialog, project); });
    ASSERT_TRUE(walk.ChooseMenuItem("File", "Open Project..."));
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->step == StepFinish && WizardWalk::AllLoaded(); }));
    EXPECT_EQ(walk.PendingAnswers(), 0);
    EXPECT_EQ(LayerKinds(), kinds);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("keys.smg - Snapmingle"));

    // The bubble chosen in the panel, its text changed through the tool bar's Edit Text.
    const int bubbleRow = static_cast<int>(kinds.indexOf("4"));
    ASSERT_TRUE(walk.ClickLayerRow(bubbleRow));
    walk.Answer([](QDialog& dialog) {
        QWidget* edit = WizardWalk::Control(dialog, InputBox::EditId);
        QTest::mouseClick(edit, Qt::LeftButton);  // the text field takes the focus
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, "Two");
        QTest::keyClick(&dialog, Qt::Key_Return);  // OK, the default button
    });
    ASSERT_TRUE(walk.PressToolButton(CommandId::EditText));
    EXPECT_EQ(walk.PendingAnswers(), 0);
    EXPECT_EQ(LayerAt(bubbleRow)->GetText(), QStringLiteral("Two"));
    EXPECT_TRUE(g_document->IsModified());

    // Exit asks; Yes saves under the project's own name and closes. Opened again from the File menu's
    // first recent file: the change was kept.
    ASSERT_TRUE(walk.Exit());
    EXPECT_EQ(walk.told.value(1), "Snapmingle: Save changes to " + project + "?");
    walk.End();
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.ChooseMenuItem("File", "1 keys.smg")) << walk.told.join('\n').toStdString();
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->step == StepFinish && WizardWalk::AllLoaded(); }));
    EXPECT_EQ(walk.Frame().windowTitle(), QStringLiteral("keys.smg - Snapmingle"));
    EXPECT_EQ(LayerKinds(), kinds);
    EXPECT_EQ(LayerAt(bubbleRow)->GetText(), QStringLiteral("Two"));
    EXPECT_EQ(g_document->scene->path, DataFile("rocket.jpg"));
}

} // namespace
