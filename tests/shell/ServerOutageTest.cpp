// The whole program in process while its content server goes away and comes back on the same port:
// what was chosen during the outage fails where the person sees it, and once the server is back every
// choice fetches its content again, without a restart of the program.
#include "ShellTestSupport.h"

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Image.h"
#include "engine/layers/Layer.h"
#include "engine/layers/LayerKind.h"
#include "library/browser/BrowserLayout.h"
#include "library/browser/SceneTree.h"
#include "library/download/Request.h"
#include "shell/MainFrame.h"
#include "support/LayerPictures.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using ServerOutageTest = ProgramTest;

// The item number of thumbnail j of the browser's open subcategory.
int32_t ItemNumber(TreeView& browser, int32_t j)
{
    const Catalog& catalog = browser.GetCatalog();
    const TreeRows& rows = browser.Rows();
    const int32_t first = catalog.GetSubcategoryFirstItem(rows.OpenCategory(), rows.OpenSubcategory());
    return catalog.items[static_cast<size_t>(first + j)].first;
}

// A scene chosen during the outage leaves the canvas as it was and the wizard at step 1; with the
// server back, the same scene chosen again loads and so does another that was never fetched.
TEST_F(ServerOutageTest, AfterAnOutageTheSameSceneAndAnotherArriveWithoutARestart)
{
    ASSERT_TRUE(Start());
    SceneTree& scenes = *Frame().Scenes();
    session.PressNextStep();
    const int32_t first = scenes.Rows().OpenSubcategory();
    ASSERT_EQ(g_document->step, StepChooseScene);

    // Thumbnails still on their way fail too: a placeholder's cell is chosen all the same.
    session.Library().Stop();
    session.ClickSubcategory(scenes, first + 1);
    ASSERT_EQ(scenes.Rows().OpenSubcategory(), first + 1);
    session.ClickThumbnail(scenes, 0);
    const int32_t chosen = g_document->scene->number;
    ASSERT_TRUE(Settle([] { return !g_document->scene->pendingTask; }));
    EXPECT_EQ(g_document->scene->GetImage(), nullptr);
    EXPECT_EQ(g_document->step, StepChooseScene);

    ASSERT_TRUE(session.Library().Restart());
    session.ClickThumbnail(scenes, 0);
    EXPECT_EQ(g_document->scene->number, chosen);
    EXPECT_TRUE(Settle([] { return g_document->scene->GetImage() != nullptr; }));
    EXPECT_EQ(g_document->step, StepSceneChosen);

    session.ClickSubcategory(scenes, first);
    session.ClickThumbnail(scenes, 0);
    EXPECT_NE(g_document->scene->number, chosen);
    EXPECT_TRUE(Settle([] { return g_document->scene->GetImage() != nullptr; }));
}

// A face chosen during the outage shows "Load Failed." and the wizard waits for a face. Choosing the
// same face again once the server was back did nothing at all: the browser took it for the face that
// was already there, so it never arrived until the program was started again.
TEST_F(ServerOutageTest, RegressionTheSameFaceChosenAgainAfterAnOutageIsFetched)
{
    ASSERT_TRUE(Start());
    SceneTree& faces = *Frame().Scenes();  // the scenes' browser shows faces from step 2 on
    session.PressNextStep();
    session.ClickThumbnail(faces, 0);
    ASSERT_TRUE(Settle([] { return g_document->step == StepSceneChosen && g_document->scene->GetImage(); }));
    session.PressNextStep();
    ASSERT_EQ(g_document->step, StepChooseFace);

    // The next subcategory's items are in no cache: the scene came from the open one.
    const int32_t next = faces.Rows().OpenSubcategory() + 1;
    session.Library().Stop();
    session.ClickSubcategory(faces, next);
    ASSERT_EQ(faces.Rows().OpenSubcategory(), next);
    session.ClickThumbnail(faces, 0);
    const int32_t count = g_document->layers.GetCount();
    Layer* failed = g_document->GetSelectedLayer();
    ASSERT_NE(failed, nullptr);
    ASSERT_EQ(failed->kind, LayerKindFace);
    ASSERT_TRUE(Settle([&] { return !failed->pendingTask; }));
    EXPECT_EQ(failed->GetImage(), nullptr);
    // Its words stand inside its frame on the scene.
    const QRect words = DarkBounds(DrawnLayer(*failed, static_cast<int>(g_document->scene->size.x),
                                              static_cast<int>(g_document->scene->size.y), ViewModeAllLayers));
    EXPECT_FALSE(words.isEmpty());
    EXPECT_TRUE(DocumentFrame(*failed).contains(words));
    EXPECT_EQ(g_document->step, StepChooseFace);

    ASSERT_TRUE(session.Library().Restart());
    session.ClickThumbnail(faces, 0);
    EXPECT_EQ(g_document->layers.GetCount(), count);  // the failed face is replaced, not joined
    Layer* face = g_document->GetSelectedLayer();
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->number, ItemNumber(faces, 0));
    EXPECT_TRUE(Settle([&] { return face->GetImage() != nullptr; }));
    EXPECT_EQ(g_document->step, StepFaceChosen);

    // The face that is there now, chosen again, stays as it is.
    session.ClickThumbnail(faces, 0);
    EXPECT_EQ(g_document->GetSelectedLayer(), face);
}

// Thumbnails that could not be fetched showed their placeholder for good; the subcategory opened
// again once the server is back fetches and draws them.
TEST_F(ServerOutageTest, RegressionFailedThumbnailsAreFetchedWhenTheirSubcategoryOpensAgain)
{
    // The server has no scene thumbnails at first: every one of them fails.
    const QString thumbs = session.Library().Tree() + QStringLiteral("/Thumbs");
    const QString away = session.Library().Tree() + QStringLiteral("/Thumbs-away");
    ASSERT_TRUE(QDir().rename(thumbs, away));
    ASSERT_TRUE(Start());
    SceneTree& scenes = *Frame().Scenes();
    session.PressNextStep();
    const int32_t open = scenes.Rows().OpenSubcategory();
    ASSERT_GE(open, 0);
    const QString cached = g_paths->cacheFolder + QStringLiteral("Thumbs/%1.jpg").arg(ItemNumber(scenes, 0));
    ASSERT_TRUE(Settle([&] { return scenes.GetCatalog().ThumbnailStatus(
                                        scenes.GetCatalog().GetSubcategoryFirstItem(2, open)) == RequestFailed; }));
    const QImage expected =
        QImage(away + QStringLiteral("/%1.jpg").arg(ItemNumber(scenes, 0))).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull());
    const int frame = browser_layout::FrameThickness;
    const QImage inside = expected.copy(frame, frame, expected.width() - 2 * frame, expected.height() - 2 * frame);
    EXPECT_NE(ShownThumbnail(scenes, 0, expected.size()), inside);
    EXPECT_FALSE(QFile::exists(cached));

    ASSERT_TRUE(QDir().rename(away, thumbs));
    // Its own row closes the subcategory; a second click opens it again.
    session.ClickSubcategory(scenes, open);
    ASSERT_EQ(scenes.Rows().OpenSubcategory(), -1);
    session.ClickSubcategory(scenes, open);
    ASSERT_EQ(scenes.Rows().OpenSubcategory(), open);
    EXPECT_TRUE(Settle([&] { return !scenes.IsPolling(); }));
    EXPECT_TRUE(QFile::exists(cached));
    EXPECT_EQ(ShownThumbnail(scenes, 0, expected.size()), inside);
}

} // namespace
