// The whole wizard as a person walks it, in the real program started as main starts it: from an empty
// cache to a saved picture, a sent picture and a saved project, and the project opened again.
#include "WizardWalk.h"

#include "support/TestFiles.h"

#include "engine/document/CommandId.h"
#include "engine/document/Document.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"
#include "engine/layers/LayerKind.h"
#include "engine/view/ColorBox.h"
#include "engine/view/DocumentView.h"
#include "engine/view/InputBox.h"
#include "library/browser/AccessoryTree.h"
#include "library/browser/BubbleTree.h"
#include "library/browser/SceneTree.h"
#include "library/share/ShareService.h"
#include "library/share/ui/MailBox.h"
#include "shell/ExportDialog.h"
#include "shell/LayerView.h"
#include "shell/MainFrame.h"
#include "shell/PaneSplitters.h"
#include "shell/StepBar.h"
#include "shell/StepPictures.h"
#include "shell/TabView.h"
#include "shell/ToolBar.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTabBar>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

// Texts in failure messages as text.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// The layers' names as the panel lists them, front-most last as the document keeps them.
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

// How many of the pixels in rect differ from the other picture's by more than tolerance in a channel.
int DifferingPixels(const QImage& a, const QImage& b, const QRect& rect, int tolerance)
{
    int differing = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++differing;
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


// What the window shows at a wizard state: the step bar's text and the step's picture highlighted.
void ExpectStepShown(const CMainFrame& frame, int32_t state, const char* text)
{
    EXPECT_EQ(g_document->step, state);
    EXPECT_EQ(frame.Steps()->Text(), QString::fromLatin1(text)) << state;
    EXPECT_EQ(frame.Pictures()->Highlighted(), (state + 1) >> 1) << state;
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
        EXPECT_TRUE(QFileInfo(walk.CacheFolder() + "/" + name).size() > 0) << name;
    CMainFrame& frame = walk.Frame();
    EXPECT_EQ(g_document->step, StepStart);
    const QImage empty = walk.GrabView("0-start");

    // Start, then a scene from the browser.
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    ExpectStepShown(frame, StepChooseScene, "Step 1: Choose a Background Scene.");
    ASSERT_TRUE(walk.ChooseScene(0));
    ExpectStepShown(frame, StepSceneChosen, "Step 1: Choose another Background Scene or Click Next.");
    // The bare scene as the document renders it, for comparison with the finished picture.
    ASSERT_TRUE(g_document->SavePicture(walk.Path("bare.png")));
    const QImage bareScene(walk.Path("bare.png"));
    ASSERT_FALSE(bareScene.isNull());
    const QImage withScene = walk.GrabView("1-scene");
    EXPECT_GT(DifferingPixels(empty, withScene, withScene.rect(), 16), withScene.width() * withScene.height() / 4);

    // The face: Next opens the face browser's dialog for a picture of our own.
    ASSERT_TRUE(walk.ChooseOwnFace(DataFile("rocket.jpg")));
    ExpectStepShown(frame, StepFaceChosen, "Step 2: Choose another Face or Click Next.");
    // The scene's photo layer, then the face, selected.
    ASSERT_EQ(LayerKinds(), (QStringList{"3", "0"}));
    ASSERT_EQ(g_document->selectedIndex, 1);
    Layer& face = *LayerAt(1);
    EXPECT_EQ(face.kind, LayerKindOwnFile);
    // A small picture is scaled up by a whole factor.
    EXPECT_EQ(static_cast<int>(face.size.x) % 640, 0);
    EXPECT_EQ(face.size.x / 640, face.size.y / 427);
    walk.GrabView("2-face");

    // Crop: the rectangle tracker's top-left corner dragged inwards.
    ASSERT_TRUE(walk.PressNextStep(StepSelectFace));
    ExpectStepShown(frame, StepSelectFace, "Step 3: Select face, then click Next.");
    walk.GrabView("3-crop-before");
    const PointF cropBefore = face.cropTopLeft;
    ASSERT_TRUE(walk.DragCropCorner({-100, -60}));
    EXPECT_NEAR(face.cropTopLeft.x, cropBefore.x - 100 / face.size.x, 0.01f);
    EXPECT_NEAR(face.cropTopLeft.y, cropBefore.y - 60 / face.size.y, 0.01f);
    walk.GrabView("3-crop-after");


    // Outline: the wizard's erase brush along a line near the top of the crop takes the stroke and
    // everything between it and the crop's edge off the face's mask.
    ASSERT_TRUE(walk.PressNextStep(StepOutlineFace));
    ExpectStepShown(frame, StepOutlineFace, "Step 4: Outline face, then click Next.");
    EXPECT_EQ(g_document->tool, ToolOutline);
    const auto alphaAt = [&](QPointF work) {
        const QImage& working = *static_cast<ImageReference*>(face.GetImage())->Picture();
        const QPoint content(static_cast<int>(face.cropTopLeft.x * face.size.x + work.x()),
                             static_cast<int>(face.cropTopLeft.y * face.size.y + work.y()));
        return qAlpha(working.pixel(content));
    };
    const auto clearPixels = [&] {
        const QImage& working = *static_cast<ImageReference*>(face.GetImage())->Picture();
        int clear = 0;
        for (int y = 0; y < working.height(); ++y) {
            for (int x = 0; x < working.width(); ++x)
                clear += qAlpha(working.pixel(x, y)) == 0;
        }
        return clear;
    };
    ASSERT_EQ(alphaAt({180, 60}), 255);
    ASSERT_EQ(alphaAt({180, 20}), 255);
    walk.GrabView("4-outline-before");
    ASSERT_TRUE(walk.DragInView({60, 60}, {{180, 60}, {300, 60}}));
    EXPECT_EQ(alphaAt({180, 60}), 0);
    EXPECT_EQ(alphaAt({180, 20}), 0);
    EXPECT_EQ(alphaAt({180, 200}), 255);
    walk.GrabView("4-outline-after");

    // Place: the face is fitted to the scene and dragged by its middle.
    ASSERT_TRUE(walk.PressNextStep(StepPlaceFace));
    ExpectStepShown(frame, StepPlaceFace, "Step 5: Place face, then click Next.");
    EXPECT_EQ(g_document->selectedIndex, 1);
    walk.GrabView("5-place-before");
    const PointF placed = face.position;
    ASSERT_TRUE(walk.MoveSelectedLayer({40, 20}));
    const float pixel = 1.0f / walk.Frame().View()->scale;  // a view pixel in the document
    EXPECT_NEAR(face.position.x, placed.x + 40, 2 * pixel);
    EXPECT_NEAR(face.position.y, placed.y + 20, 2 * pixel);

    // The mask: the Paint tool brings part of the cut-away top back, the Erase tool takes a stroke out.
    const QPointF halfFrame(face.GetCropExtent().x * face.size.x * face.scale.x / 2,
                            face.GetCropExtent().y * face.size.y * face.scale.y / 2);
    const QPointF centre(face.position.x, face.position.y);
    const int clearBefore = clearPixels();
    ASSERT_TRUE(walk.PressToolButton(CommandId::Paint));
    EXPECT_EQ(g_document->tool, ToolPaint);
    const QPointF top = centre - QPointF(0, halfFrame.y() * 0.9);
    ASSERT_TRUE(walk.DragInView(top - QPointF(halfFrame.x() / 2, 0), {top, top + QPointF(halfFrame.x() / 2, 0)}));
    const int clearPainted = clearPixels();
    EXPECT_LT(clearPainted, clearBefore);
    ASSERT_TRUE(walk.PressToolButton(CommandId::Erase));
    EXPECT_EQ(g_document->tool, ToolErase);
    ASSERT_TRUE(walk.DragInView(centre - QPointF(halfFrame.x() / 2, 0), {centre, centre + QPointF(halfFrame.x() / 2, 0)}));
    EXPECT_GT(clearPixels(), clearPainted);
    walk.GrabView("5-place-masked");
    ASSERT_TRUE(walk.PressToolButton(CommandId::MoveResize));

    // Colour: Auto Adjust in the Adjust Color dialog, then OK.
    ASSERT_TRUE(walk.AutoAdjustColour());
    EXPECT_TRUE(face.redGamma != Layer::DefaultGamma || face.greenGamma != Layer::DefaultGamma ||
                face.blueGamma != Layer::DefaultGamma);
    walk.GrabView("5-place-after");

    // Two accessories.
    ASSERT_TRUE(walk.PressNextStep(StepAccessories));
    ExpectStepShown(frame, StepAccessories, "Step 6: Choose accessories or Click Next.");
    EXPECT_EQ(g_document->selectedIndex, -1);
    ASSERT_TRUE(walk.AddAccessory(0));
    ASSERT_TRUE(walk.AddAccessory(1));
    ASSERT_EQ(LayerKinds(), (QStringList{"3", "0", "1", "1"}));
    walk.GrabView("6-accessories");

    // A bubble, its text typed in the Edit Text dialog that a double click on it opens.
    ASSERT_TRUE(walk.PressNextStep(StepBubble));
    ExpectStepShown(frame, StepBubble, "Step 7: Choose another text bubble or Click Next.");
    ASSERT_TRUE(walk.AddBubble(0));
    Layer& bubble = *LayerAt(4);
    EXPECT_EQ(bubble.kind, LayerKindBubble);
    EXPECT_EQ(g_document->selectedIndex, 4);
    ASSERT_TRUE(walk.EditBubbleText("Hello\nthere!"));
    EXPECT_EQ(bubble.GetText(), QStringLiteral("Hello\r\nthere!"));
    walk.GrabView("7-bubble");

    // The finish: the layers panel reorders and deletes with real clicks.
    ASSERT_TRUE(walk.PressNextStep(StepFinish));
    ExpectStepShown(frame, StepFinish, "Step 8: Finish your picture and email or export it!");
    ASSERT_TRUE(walk.ClickLayerRow(2));
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->selectedIndex == 2; }));
    LayerView& panel = *frame.Layers();
    QTest::mouseClick(panel.UpButton(), Qt::LeftButton);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "1", "0", "1", "4"}));
    EXPECT_EQ(g_document->selectedIndex, 1);
    QTest::mouseClick(panel.DownButton(), Qt::LeftButton);
    EXPECT_EQ(g_document->selectedIndex, 2);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "0", "1", "1", "4"}));
    walk.messageReply = QMessageBox::Yes;
    const int toldBefore = walk.told.size();
    QTest::mouseClick(panel.DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(walk.told.size(), toldBefore + 1);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "0", "1", "4"}));

    // Undo and redo across the steps with the keys: back through the finish and the bubble step to the
    // accessories, then forward again to the same picture.
    const QStringList finished = LayerKinds();
    const QImage finishedView = walk.GrabView("8-finish");
    int undos = 0;
    while (g_document->step != StepAccessories && undos < 20) {
        walk.KeyInView(Qt::Key_Z, Qt::ControlModifier);
        ++undos;
    }
    EXPECT_EQ(undos, 8);  // delete, down, up, select, next, text, bubble, next
    ExpectStepShown(frame, StepAccessories, "Step 6: Choose accessories or Click Next.");
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "0", "1", "1"}));
    EXPECT_TRUE(frame.Tabs()->IsTabShown(1));
    walk.GrabView("9-undone");
    for (int redo = 0; redo < undos; ++redo)
        walk.KeyInView(Qt::Key_Y, Qt::ControlModifier);
    ExpectStepShown(frame, StepFinish, "Step 8: Finish your picture and email or export it!");
    EXPECT_EQ(LayerKinds(), finished);
    EXPECT_EQ(LayerAt(3)->GetText(), QStringLiteral("Hello\r\nthere!"));
    EXPECT_TRUE(WizardWalk::Settle([&] { return walk.GrabView("9-redone") == finishedView; }));

    // Save Picture on the export panel, then the save dialog.
    EXPECT_TRUE(frame.Tabs()->IsTabShown(3));
    const QString picturePath = walk.Path("walk.jpg");
    ASSERT_TRUE(walk.SavePicture(picturePath));
    const QImage saved(picturePath, "JPEG");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), bareScene.size());
    // The picture is the document's own render (within the JPEG's loss), and differs from the bare scene
    // where the face was put.
    ASSERT_TRUE(g_document->SavePicture(walk.Path("render.png")));
    const QImage render(walk.Path("render.png"));
    const QImage savedRgb = saved.convertToFormat(QImage::Format_RGB32);
    EXPECT_LT(MeanDifference(savedRgb, render.convertToFormat(QImage::Format_RGB32)), 4.0);
    const QRect faceArea(QPoint(static_cast<int>(face.position.x) - 20, static_cast<int>(face.position.y) - 20),
                         QSize(40, 40));
    EXPECT_GT(DifferingPixels(savedRgb, bareScene.convertToFormat(QImage::Format_RGB32), faceArea, 24),
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
    QImage sentPicture;
    ASSERT_TRUE(sentPicture.loadFromData(sent, "JPEG"));
    EXPECT_EQ(sentPicture.size(), bareScene.size());

    // File > Exit closes the window without a question: the project is saved.
    const QImage finalView = walk.GrabView("10-final");
    // The composition as the document renders it when the program ends, for the project opened again.
    // (The bubble's text is rendered by Qt's font engine, whose glyph edges may come out a shade apart
    // once other text has been typed in a dialog: the picture saved earlier is no exact reference.)
    ASSERT_TRUE(g_document->SavePicture(walk.Path("ending.png")));
    const QImage ending(walk.Path("ending.png"));
    const int toldAtExit = walk.told.size();
    ASSERT_TRUE(walk.Exit());
    EXPECT_EQ(walk.told.size(), toldAtExit);
    walk.End();

    // Started again with the project on the command line: the stored step, the same pixels.
    ASSERT_TRUE(walk.Start({projectPath}));
    EXPECT_EQ(walk.progressDialogs, 3);  // the cache is warm now
    EXPECT_EQ(g_document->step, StepFinish);
    EXPECT_EQ(LayerKinds(), finished);
    ASSERT_TRUE(WizardWalk::Settle(WizardWalk::AllLoaded));
    ASSERT_TRUE(g_document->SavePicture(walk.Path("reopened.png")));
    const QImage reopened(walk.Path("reopened.png"));
    EXPECT_EQ(reopened, ending) << DifferingPixels(reopened, ending, ending.rect(), 0) << " pixels differ";
    ASSERT_TRUE(WizardWalk::Settle([&] { return walk.GrabView("11-reopened") == finalView; }));

    // Opened again with an empty cache (the index files and the content download again): the same.
    walk.End();
    ASSERT_TRUE(QDir(walk.CacheFolder()).removeRecursively());
    ASSERT_TRUE(walk.Start({projectPath}));
    EXPECT_EQ(walk.progressDialogs, 6);
    ASSERT_TRUE(WizardWalk::Settle(WizardWalk::AllLoaded));
    EXPECT_EQ(LayerKinds(), finished);
    ASSERT_TRUE(g_document->SavePicture(walk.Path("downloaded.png")));
    const QImage downloaded(walk.Path("downloaded.png"));
    EXPECT_EQ(downloaded, ending) << DifferingPixels(downloaded, ending, ending.rect(), 0) << " pixels differ";
    ASSERT_TRUE(WizardWalk::Settle([&] { return walk.GrabView("12-downloaded") == finalView; }));

    // Each step's tip once, in order; the reopened project's tip for its step.
    EXPECT_EQ(walk.tips, (QStringList{"Help Tip: tip 1", "Help Tip: tip 2", "Step 1 Help Tip: tip 3",
                                      "Step 2 Help Tip: tip 11", "Step 3 Help Tip: tip 4", "Step 4 Help Tip: tip 5",
                                      "Step 5 Help Tip: tip 6", "Step 6 Help Tip: tip 7", "Step 6 Help Tip: tip 8",
                                      "Step 7 Help Tip: tip 9", "Step 8 Help Tip: tip 10",
                                      // a redo that re-enters a step shows its tip; an undo never does
                                      "Step 7 Help Tip: tip 9", "Step 8 Help Tip: tip 10", "Step 8 Help Tip: tip 10",
                                      "Step 8 Help Tip: tip 10"}));
    // The one message of the walk was the delete question.
    ASSERT_EQ(walk.told.size(), 1) << walk.told.join('\n').toStdString();
    EXPECT_TRUE(walk.told[0].startsWith("Snapmingle: Delete the layer ")) << walk.told[0].toStdString();
}

} // namespace

namespace {

// The other ways a person goes: the face dialog cancelled and a face taken from the browser's people,
// a layer dragged in the layers panel and the drag undone, and a new project from the export panel.
TEST_F(WalkTest, AFaceFromTheBrowserALayerDraggedInThePanelAndANewProject)
{
    ASSERT_TRUE(walk.Start());
    CMainFrame& frame = walk.Frame();
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    ASSERT_TRUE(walk.ChooseScene(0)) << walk.told.join('\n').toStdString();
    // Another scene from another folder replaces it; Ctrl+Z gives the first back, Ctrl+Y the second.
    const int32_t first = g_document->scene->number;
    const QImage firstView = walk.GrabView("b-scene1");
    ASSERT_TRUE(walk.OpenBrowserFolder(*frame.Scenes(), "Scenes", QString::fromUtf8("Caf\u00e9")));
    ASSERT_TRUE(walk.ChooseScene(0));
    const int32_t second = g_document->scene->number;
    EXPECT_NE(second, first);
    ExpectWindowAtItsState(frame);
    const QImage secondView = walk.GrabView("b-scene2");
    EXPECT_NE(secondView, firstView);
    walk.KeyInView(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(WizardWalk::Settle(WizardWalk::AllLoaded));
    EXPECT_EQ(g_document->scene->number, first);
    ExpectWindowAtItsState(frame);
    EXPECT_TRUE(WizardWalk::Settle([&] { return walk.GrabView("b-scene1-again") == firstView; }));
    walk.KeyInView(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_TRUE(WizardWalk::Settle(WizardWalk::AllLoaded));
    EXPECT_EQ(g_document->scene->number, second);
    EXPECT_TRUE(WizardWalk::Settle([&] { return walk.GrabView("b-scene2-again") == secondView; }));

    walk.Answer([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    ASSERT_TRUE(walk.PressNextStep(StepChooseFace));
    EXPECT_TRUE(WizardWalk::Settle([&] { return walk.PendingAnswers() == 0; }));
    ExpectStepShown(frame, StepChooseFace, "Step 2: Choose a Face.");
    EXPECT_EQ(frame.Tabs()->TabLabel(0), QStringLiteral("Faces"));
    EXPECT_EQ(frame.Scenes()->LoadButton()->text(), QStringLiteral("Load face from PC..."));
    ASSERT_TRUE(walk.OpenBrowserFolder(*frame.Scenes(), "People"));
    ASSERT_TRUE(walk.ClickThumbnail(*frame.Scenes(), 0));
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->step == StepFaceChosen && WizardWalk::AllLoaded(); }));
    ASSERT_EQ(LayerKinds(), (QStringList{"3", "5"}));
    walk.GrabView("b-face");

    for (const int32_t state : {StepSelectFace, StepOutlineFace, StepPlaceFace, StepAccessories})
        ASSERT_TRUE(walk.PressNextStep(state)) << state;
    ASSERT_TRUE(walk.AddAccessory(0));
    ASSERT_TRUE(walk.AddAccessory(1));
    ASSERT_TRUE(walk.PressNextStep(StepBubble));
    ASSERT_TRUE(walk.AddBubble(1));
    ASSERT_TRUE(walk.PressNextStep(StepFinish));
    ASSERT_EQ(LayerKinds(), (QStringList{"3", "5", "1", "1", "4"}));

    // The bubble's row dragged two rows up: one reorder, which one undo takes back.
    ASSERT_TRUE(walk.ClickLayerRow(4));
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->selectedIndex == 4; }));
    ASSERT_TRUE(walk.DragLayerRow(4, 2));
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "5", "4", "1", "1"}));
    EXPECT_EQ(g_document->selectedIndex, 2);
    EXPECT_EQ(frame.Layers()->List()->topLevelItem(2)->text(0), LayerAt(2)->name);
    walk.GrabView("b-dragged");
    walk.KeyInView(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "5", "1", "1", "4"}));
    EXPECT_EQ(g_document->step, StepFinish);

    // New Project on the export panel asks to save the changes first; No starts afresh at step 0.
    walk.messageReply = QMessageBox::No;
    QTabBar& bar = *frame.Tabs()->TabBar();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.tabRect(3).center());
    auto* panel = dynamic_cast<ExportDialog*>(frame.Tabs()->Page(3));
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(WizardWalk::Settle([&] { return panel->Button(ExportDialog::NewProjectId)->isVisible(); }));
    QTest::mouseClick(panel->Button(ExportDialog::NewProjectId), Qt::LeftButton);
    EXPECT_EQ(walk.told, QStringList{"Snapmingle: Save changes to Untitled?"});
    EXPECT_EQ(g_document->step, StepStart);
    EXPECT_EQ(g_document->layers.GetCount(), 0);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Untitled - Snapmingle"));
    EXPECT_TRUE(WizardWalk::Settle([&] { return !frame.Splitters().IsRightColumnShown(); }));
    EXPECT_EQ(frame.Steps()->Text(), QStringLiteral("Please press Start."));
    walk.GrabView("b-new");
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    ExpectStepShown(frame, StepChooseScene, "Step 1: Choose a Background Scene.");
    EXPECT_EQ(frame.Tabs()->TabLabel(0), QStringLiteral("Scenes"));
    ASSERT_TRUE(walk.ChooseScene(0));
}

// A scene and a face of our own, the project saved with Ctrl+S, its bubble's text changed through the tool
// bar, Exit answered Yes to keep the change, and the project opened again from the File menu's recent files.
TEST_F(WalkTest, AProjectSavedWithTheKeysKeptAtExitAndOpenedFromTheRecentFiles)
{
    ASSERT_TRUE(walk.Start());
    CMainFrame& frame = walk.Frame();
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    walk.Answer([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select a scene to open"));
        WizardWalk::TypeFileName(dialog, DataFile("rocket.jpg"));
    });
    QTest::mouseClick(frame.Scenes()->LoadButton(), Qt::LeftButton);
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->step == StepSceneChosen && WizardWalk::AllLoaded(); }));
    EXPECT_EQ(g_document->scene->path, DataFile("rocket.jpg"));
    ASSERT_TRUE(walk.ChooseOwnFace(DataFile("rocket.jpg")));
    for (const int32_t state : {StepSelectFace, StepOutlineFace, StepPlaceFace, StepAccessories, StepBubble})
        ASSERT_TRUE(walk.PressNextStep(state)) << state;
    ASSERT_TRUE(walk.AddBubble(0));
    ASSERT_TRUE(walk.EditBubbleText("One"));
    ASSERT_TRUE(walk.PressNextStep(StepFinish));
    const QStringList kinds = LayerKinds();
    walk.GrabView("c-finish");

    // Ctrl+S on an untitled project asks for a name.
    const QString project = walk.Path("keys.smg");
    walk.Answer([&](QDialog& dialog) { WizardWalk::TypeFileName(dialog, project); });
    walk.KeyInView(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(walk.PendingAnswers(), 0);
    ASSERT_TRUE(QFileInfo::exists(project));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("keys.smg - Snapmingle"));
    EXPECT_FALSE(g_document->IsModified());

    // The bubble chosen in the panel, its text changed through the tool bar's Edit Text.
    const int bubbleRow = static_cast<int>(kinds.indexOf("4"));
    ASSERT_TRUE(walk.ClickLayerRow(bubbleRow));
    ASSERT_TRUE(WizardWalk::Settle([&] { return g_document->selectedIndex == bubbleRow; }));
    walk.Answer([](QDialog& dialog) {
        QWidget* edit = WizardWalk::Control(dialog, InputBox::EditId);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, "Two");
        QTest::keyClick(&dialog, Qt::Key_Return);  // OK, the default button
    });
    ASSERT_TRUE(walk.PressToolButton(CommandId::EditText));
    EXPECT_EQ(walk.PendingAnswers(), 0);
    EXPECT_EQ(LayerAt(bubbleRow)->GetText(), QStringLiteral("Two"));
    EXPECT_TRUE(g_document->IsModified());

    // Exit asks; Yes saves under the project's own name and closes.
    walk.messageReply = QMessageBox::Yes;
    ASSERT_TRUE(walk.Exit());
    EXPECT_EQ(walk.told, QStringList{"Snapmingle: Save changes to " + project + "?"});
    walk.End();

    // Opened again from the File menu's first recent file.
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.ChooseMenuItem("File", "1 keys.smg")) << walk.told.join('\n').toStdString();
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->step == StepFinish && WizardWalk::AllLoaded(); }));
    EXPECT_EQ(walk.Frame().windowTitle(), QStringLiteral("keys.smg - Snapmingle"));
    EXPECT_EQ(LayerKinds(), kinds);
    EXPECT_EQ(LayerAt(bubbleRow)->GetText(), QStringLiteral("Two"));
    EXPECT_EQ(g_document->scene->path, DataFile("rocket.jpg"));
    walk.GrabView("c-reopened");
}

// The placing step's other tools and keys, each undone by Ctrl+Z; a picture saved twice under one name and
// sent twice; a project opened through File > Open Project.
TEST_F(WalkTest, TheLayerToolsAndKeysUndoneAPictureReplacedAndSentTwiceAndAProjectOpenedFromTheMenu)
{
    ASSERT_TRUE(walk.Start());
    CMainFrame& frame = walk.Frame();
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    ASSERT_TRUE(walk.ChooseScene(0));
    ASSERT_TRUE(walk.ChooseOwnFace(DataFile("rocket.jpg")));
    for (const int32_t state : {StepSelectFace, StepOutlineFace, StepPlaceFace})
        ASSERT_TRUE(walk.PressNextStep(state)) << state;
    Layer& face = *g_document->GetSelectedLayer();
    const LayerInfo placed = face;

    // Rotate: a drag from right of the middle upwards turns the face.
    ASSERT_TRUE(walk.PressToolButton(CommandId::Rotate));
    EXPECT_EQ(g_document->tool, ToolRotate);
    const QPointF middle(face.position.x, face.position.y);
    const float reach = face.GetCropExtent().x * face.size.x * face.scale.x / 4;
    ASSERT_TRUE(walk.DragInView(middle + QPointF(reach, 0), {middle + QPointF(reach, -reach / 2), middle + QPointF(reach, -reach)}));
    EXPECT_NE(face.angle, placed.angle);
    walk.GrabView("d-rotated");
    // The keys: Ctrl+Plus makes it larger, the left arrow (without Ctrl) moves it a pixel; the flip
    // button mirrors it.
    walk.KeyInView(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(face.scale.y, placed.scale.y);
    walk.KeyInView(Qt::Key_Left, Qt::NoModifier);
    EXPECT_EQ(face.position.x, placed.position.x - 1);
    ASSERT_TRUE(walk.PressToolButton(CommandId::Flip));
    EXPECT_LT(face.scale.x, 0.0f);
    walk.GrabView("d-changed");
    for (int undo = 0; undo < 4; ++undo)
        walk.KeyInView(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(face.angle, placed.angle);
    EXPECT_EQ(face.scale.x, placed.scale.x);
    EXPECT_EQ(face.scale.y, placed.scale.y);
    EXPECT_EQ(face.position.x, placed.position.x);
    EXPECT_EQ(face.position.y, placed.position.y);
    EXPECT_EQ(g_document->step, StepPlaceFace);

    for (const int32_t state : {StepAccessories, StepBubble, StepFinish})
        ASSERT_TRUE(walk.PressNextStep(state)) << state;

    // The same name twice: the second save asks to replace the file, Yes replaces it.
    const QString picture = walk.Path("twice.jpg");
    ASSERT_TRUE(walk.SavePicture(picture));
    WriteFile(picture, "not a picture");
    walk.messageReply = QMessageBox::Yes;
    ASSERT_TRUE(walk.SavePicture(picture));
    EXPECT_EQ(walk.told, QStringList{"Save As: twice.jpg already exists.\nDo you want to replace it?"});
    QImage replaced;
    EXPECT_TRUE(replaced.load(picture, "JPEG"));

    // Sent twice: two messages, each with the picture as it was saved for it.
    const QStringList fields{"Ann", "ann@example.org", "Look", "bob@example.org"};
    ASSERT_TRUE(walk.SendPicture(fields));
    ASSERT_TRUE(walk.SendPicture(fields));
    const QDir outbox(walk.Library().Outbox());
    EXPECT_EQ(outbox.entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"message-0001", "message-0002"}));
    EXPECT_EQ(ReadFile(outbox.filePath("message-0002/shareImage.jpg")), ReadFile(ShareService::PicturePath()));

    // A project saved, a new one begun, and the saved one opened through File > Open Project.
    const QString project = walk.Path("menu.smg");
    ASSERT_TRUE(walk.SaveProject(project));
    const QStringList kinds = LayerKinds();
    walk.KeyInView(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(g_document->step, StepStart);
    walk.Answer([&](QDialog& dialog) { WizardWalk::TypeFileName(dialog, project); });
    ASSERT_TRUE(walk.ChooseMenuItem("File", "Open Project..."));
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->step == StepFinish && WizardWalk::AllLoaded(); }));
    EXPECT_EQ(walk.PendingAnswers(), 0);
    EXPECT_EQ(LayerKinds(), kinds);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("menu.smg - Snapmingle"));
}

// A face replaced by another before it is cropped, Magic Erase on the scene's photo at the finish, and the
// Delete key in the editing view.
TEST_F(WalkTest, AFaceReplacedMagicEraseOnTheSceneAndTheDeleteKey)
{
    ASSERT_TRUE(walk.Start());
    CMainFrame& frame = walk.Frame();
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    ASSERT_TRUE(walk.ChooseScene(0));
    ASSERT_TRUE(walk.ChooseOwnFace(DataFile("rocket.jpg")));
    ASSERT_EQ(LayerKinds(), (QStringList{"3", "0"}));
    // Another face in its place: a people photo from the browser.
    ASSERT_TRUE(walk.OpenBrowserFolder(*frame.Scenes(), "People"));
    ASSERT_TRUE(walk.ClickThumbnail(*frame.Scenes(), 0));
    ASSERT_TRUE(WizardWalk::Settle([] { return LayerKinds() == QStringList{"3", "5"} && WizardWalk::AllLoaded(); }));
    EXPECT_EQ(g_document->selectedIndex, 1);
    EXPECT_EQ(g_document->step, StepFaceChosen);
    // Undo gives the first face back.
    walk.KeyInView(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "0"}));
    walk.KeyInView(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "5"}));

    for (const int32_t state : {StepSelectFace, StepOutlineFace, StepPlaceFace, StepAccessories})
        ASSERT_TRUE(walk.PressNextStep(state)) << state;
    ASSERT_TRUE(walk.AddAccessory(0));
    for (const int32_t state : {StepBubble, StepFinish})
        ASSERT_TRUE(walk.PressNextStep(state)) << state;

    // Magic Erase on the scene's photo, which is at the back: a stroke takes pixels out of it.
    ASSERT_TRUE(walk.ClickLayerRow(0));
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->selectedIndex == 0; }));
    Layer& photo = *LayerAt(0);
    const auto clearPixels = [&] {
        const QImage& working = *static_cast<ImageReference*>(photo.GetImage())->Picture();
        int clear = 0;
        for (int y = 0; y < working.height(); ++y) {
            for (int x = 0; x < working.width(); ++x)
                clear += qAlpha(working.pixel(x, y)) == 0;
        }
        return clear;
    };
    const int clearBefore = clearPixels();
    ASSERT_TRUE(walk.PressToolButton(CommandId::MagicErase));
    EXPECT_EQ(g_document->tool, ToolMagicErase);
    ASSERT_TRUE(walk.DragInView({100, 100}, {{200, 120}, {300, 140}}));
    EXPECT_GT(clearPixels(), clearBefore);
    walk.GrabView("e-magic");
    walk.KeyInView(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(clearPixels(), clearBefore);

    // The accessory selected in the panel; the Delete key in the view asks and deletes it.
    ASSERT_TRUE(walk.ClickLayerRow(2));
    ASSERT_TRUE(WizardWalk::Settle([] { return g_document->selectedIndex == 2; }));
    walk.messageReply = QMessageBox::Yes;
    walk.KeyInView(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(walk.told.size(), 1);
    EXPECT_EQ(LayerKinds(), (QStringList{"3", "5"}));
}

// Every step undone back to the start of the journal with Ctrl+Z, then redone with Ctrl+Y to the same
// picture.
TEST_F(WalkTest, AClosedOutlineKeepsTheInsideAndCutsEverythingOutsideWithoutASeam)
{
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    ASSERT_TRUE(walk.ChooseScene(0));
    ASSERT_TRUE(walk.ChooseOwnFace(DataFile("rocket.jpg")));
    ASSERT_TRUE(walk.PressNextStep(StepSelectFace));
    ASSERT_TRUE(walk.PressNextStep(StepOutlineFace));
    Layer& face = *LayerAt(1);
    const QImage& working = *static_cast<ImageReference*>(face.GetImage())->Picture();
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
            const int alpha = qAlpha(working.pixel(x, y));
            keptOutside += d > radius + brush && alpha != 0;
            lostInside += d < radius - brush && alpha != 255;
        }
    }
    EXPECT_EQ(keptOutside, 0);
    EXPECT_EQ(lostInside, 0);
}

TEST_F(WalkTest, TheWholeWalkUndoneAndRedone)
{
    ASSERT_TRUE(walk.Start());
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    ASSERT_TRUE(walk.ChooseScene(0));
    ASSERT_TRUE(walk.ChooseOwnFace(DataFile("rocket.jpg")));
    ASSERT_TRUE(walk.PressNextStep(StepSelectFace));
    ASSERT_TRUE(walk.DragCropCorner({-100, -60}));
    ASSERT_TRUE(walk.PressNextStep(StepOutlineFace));
    ASSERT_TRUE(walk.DragInView({60, 60}, {{180, 60}, {300, 60}}));
    ASSERT_TRUE(walk.PressNextStep(StepPlaceFace));
    ASSERT_TRUE(walk.MoveSelectedLayer({40, 20}));
    ASSERT_TRUE(walk.AutoAdjustColour());
    ASSERT_TRUE(walk.PressNextStep(StepAccessories));
    ASSERT_TRUE(walk.AddAccessory(0));
    ASSERT_TRUE(walk.PressNextStep(StepBubble));
    ASSERT_TRUE(walk.AddBubble(0));
    ASSERT_TRUE(walk.EditBubbleText("Hi"));
    ASSERT_TRUE(walk.PressNextStep(StepFinish));
    const QStringList kinds = LayerKinds();
    ASSERT_TRUE(g_document->SavePicture(walk.Path("before.png")));
    const QImage before(walk.Path("before.png"));
    const QImage view = walk.GrabView("f-before");

    int undos = 0;
    while (g_document->journal.GetPosition() > 0 && undos < 100) {
        walk.KeyInView(Qt::Key_Z, Qt::ControlModifier);
        ++undos;
        ExpectWindowAtItsState(walk.Frame());
    }
    EXPECT_EQ(g_document->journal.GetPosition(), 0);
    EXPECT_EQ(g_document->step, StepStart);  // Start itself is undone
    EXPECT_EQ(g_document->layers.GetCount(), 0);
    EXPECT_TRUE(WizardWalk::Settle([&] { return !walk.Frame().Splitters().IsRightColumnShown(); }));
    EXPECT_EQ(walk.Frame().Pictures()->Highlighted(), 0);
    EXPECT_EQ(walk.Frame().Steps()->Text(), QStringLiteral("Please press Start."));
    walk.GrabView("f-undone");
    for (int redo = 0; redo < undos; ++redo) {
        walk.KeyInView(Qt::Key_Y, Qt::ControlModifier);
        ExpectWindowAtItsState(walk.Frame());
    }
    ASSERT_TRUE(WizardWalk::Settle(WizardWalk::AllLoaded));
    EXPECT_EQ(g_document->step, StepFinish);
    EXPECT_EQ(LayerKinds(), kinds);
    ASSERT_TRUE(g_document->SavePicture(walk.Path("after.png")));
    const QImage after(walk.Path("after.png"));
    EXPECT_EQ(after, before) << DifferingPixels(after, before, before.rect(), 0) << " pixels differ";
    EXPECT_TRUE(WizardWalk::Settle([&] { return walk.GrabView("f-redone") == view; }));
}

// A larger window, and a tiny picture of our own with a palette as the face: the view follows the window
// and the drags land where they are made.
TEST_F(WalkTest, ALargerWindowAndATinyPaletteFace)
{
    ASSERT_TRUE(walk.Start());
    CMainFrame& frame = walk.Frame();
    frame.resize(1100, 800);
    ASSERT_TRUE(WizardWalk::Settle([&] { return frame.View()->width() > 600; }));
    ASSERT_TRUE(walk.PressNextStep(StepChooseScene));
    ASSERT_TRUE(walk.ChooseScene(0));
    ASSERT_TRUE(walk.ChooseOwnFace(DataFile("palette_color.png")));
    Layer& face = *g_document->GetSelectedLayer();
    EXPECT_GT(face.size.x, 10.0f);  // scaled up by a whole factor
    EXPECT_EQ(static_cast<int>(face.size.x) % 10, 0);
    for (const int32_t state : {StepSelectFace, StepOutlineFace, StepPlaceFace})
        ASSERT_TRUE(walk.PressNextStep(state)) << state;
    const PointF placed = face.position;
    ASSERT_TRUE(walk.MoveSelectedLayer({-60, 30}));
    const float pixel = 1.0f / frame.View()->scale;
    EXPECT_NEAR(face.position.x, placed.x - 60, 2 * pixel);
    EXPECT_NEAR(face.position.y, placed.y + 30, 2 * pixel);
    ASSERT_TRUE(walk.AutoAdjustColour());
    walk.GrabView("g-large");
    for (const int32_t state : {StepAccessories, StepBubble, StepFinish})
        ASSERT_TRUE(walk.PressNextStep(state)) << state;
    ASSERT_TRUE(walk.SavePicture(walk.Path("tiny.jpg")));
    EXPECT_TRUE(walk.told.isEmpty()) << walk.told.join('\n').toStdString();
}

} // namespace
