#include "ViewFixture.h"

#include "support/LayerPictures.h"
#include "support/TestPictures.h"

#include "engine/document/JournalKind.h"
#include "engine/document/ToolId.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Image.h"
#include "engine/view/TrackerBrush.h"

#include <QTransform>
#include <cmath>
#include <cstring>

namespace {

// Writes down the hints the document sends its views.
struct HintLog final : DocumentObserver {
    explicit HintLog(Document& document) : document(document) { document.AddView(this); }
    ~HintLog() { document.RemoveView(this); }
    void OnUpdate(DocumentObserver*, int32_t hint, const Rect* rect) override
    {
        hints.push_back(hint);
        lastRect = rect ? *rect : lastRect;
    }
    Document& document;
    std::vector<int32_t> hints;
    Rect lastRect;
};

// A 200 x 200 face, selected, unscaled at the middle of a 1600 x 1200 scene: content pixel (x, y) is
// document pixel (700 + x, 500 + y), and a view pixel is about two content pixels.
class BrushTest : public ViewTest {
protected:
    BrushTest()
    {
        face = SceneWithSelectedFace();
        document.tool = ToolErase;
    }
    TrackerBrush& Brush() { return *view->brushTracker; }
    // A content pixel of the face in view units (the All Layers view), or of the cropped content in the
    // Paint Layer view.
    PointF View(float x, float y) const
    {
        QTransform m;
        view->DocToViewXform(m);
        const PointF doc = document.viewMode == ViewModePaintLayer
                               ? PointF{x - face->cropTopLeft.x * face->size.x, y - face->cropTopLeft.y * face->size.y}
                               : PointF{700.0f + x, 500.0f + y};
        return {static_cast<float>(doc.x * m.m11() + m.dx()), static_cast<float>(doc.y * m.m22() + m.dy())};
    }
    QPoint ViewPixel(float x, float y) const { return QPointF(View(x, y).x, View(x, y).y).toPoint(); }
    // The view mode and tool shown, and the face open for editing.
    void Show(int32_t viewMode, int32_t tool)
    {
        document.viewMode = viewMode;
        document.tool = tool;
        view->OnUpdate(nullptr, HintRedraw, nullptr);
        face->BeginEdit();
    }
    // One segment applied directly, as the drag loop does for each pointer move.
    void Stroke(PointF from, PointF to)
    {
        Brush().target = face;
        Brush().last = from;
        Brush().current = to;
        Brush().ApplyStroke();
    }
    uint8_t Mask(int x, int y) const { return PixelOf(*face->GetImage(), x, y).a; }
    QImage Pixels() const
    {
        Image& image = *face->GetImage();
        return QImage(image.GetBits(), image.width, image.height, image.pitch, QImage::Format_ARGB32).copy();
    }
    Layer* face = nullptr;
};

// Also the magic erase: a click that changed nothing used to append an empty group and mark the
// document modified.
TEST_F(BrushTest, RegressionMagicEraseClickThatChangesNothingJournalsNothing)
{
    const QImage before = Pixels();
    for (const int32_t tool : {ToolPaint, ToolErase, ToolMagicErase}) {
        document.tool = tool;
        Drag(*view, ViewPixel(100, 100), {});
        EXPECT_EQ(journal.GetEnd(), 0) << tool;
        EXPECT_EQ(Pixels(), before) << tool;
        EXPECT_FALSE(document.IsModified()) << tool;
    }
}

TEST_F(BrushTest, ASegmentGetsOneStampPerTenViewUnitsFromItsStart)
{
    face->BeginEdit();
    // 8 view units (16 content pixels): one stamp, 20 pixels wide, at the start; the end is stamped by
    // the next segment.
    const PointF start = View(60, 100);
    Stroke(start, {start.x + 8.0f, start.y});
    EXPECT_EQ(Mask(60, 100), 0);
    EXPECT_EQ(Mask(68, 100), 0);
    EXPECT_EQ(Mask(80, 100), 255);  // where a stamp at the end would have reached
    // 25 units: three stamps, at 0, 8.3 and 16.7 units; none at the end.
    const PointF second = View(60, 150);
    Stroke(second, {second.x + 25.0f, second.y});
    EXPECT_EQ(Mask(100, 150), 0);
    EXPECT_EQ(Mask(115, 150), 255);
}

TEST_F(BrushTest, NothingOutsideTheCropChanges)
{
    face->cropTopLeft = {0.25f, 0.25f};
    face->cropBottomRight = {0.75f, 0.75f};
    face->BeginEdit();
    const QImage before = Pixels();
    Stroke(View(20, 100), View(180, 100));  // across the whole face, crop and all
    ExpectChangedOnlyInside(before, Pixels(), QRect(50, 50, 100, 100));
    EXPECT_TRUE(face->dirty.left >= 50 && face->dirty.right <= 149);
    EXPECT_TRUE(face->dirty.top >= 50 && face->dirty.bottom <= 149);
}

TEST_F(BrushTest, OutlineRaysLeaveTheCropThroughTheRightEdges)
{
    struct Case {
        PointF point;
        int32_t edge;
        PointF exit;
    } const cases[] = {
        {{120, 60}, 0, {125, 50}}, {{140, 80}, 1, {150, 75}}, {{120, 140}, 2, {125, 150}},
        {{60, 90}, 3, {50, 87.5f}}, {{140, 140}, 2, {150, 150}},  // a tie goes to top or bottom
    };
    for (const Case& k : cases) {
        PointF exit;
        EXPECT_EQ(TrackerBrush::RayExitOnCropRect({100, 100}, k.point, {50, 50}, {150, 150}, exit), k.edge) << k.point.x << ", " << k.point.y;
        EXPECT_EQ(exit, k.exit) << k.point.x << ", " << k.point.y;
    }
}

TEST_F(BrushTest, OutlineCutsAwayToTheBorderWithTheCornerBetweenNeighbouringEdges)
{
    face->cropTopLeft = {0.25f, 0.25f};
    face->cropBottomRight = {0.75f, 0.75f};
    document.step = StepOutlineFace;
    Show(ViewModePaintLayer, ToolOutline);
    // Leaves through the top, then the right: the top-right corner is cut away too.
    Stroke(View(120, 60), View(140, 80));
    EXPECT_EQ(Mask(147, 53), 0);
    EXPECT_EQ(Mask(110, 110), 255);  // the side of the centre stays
    // Through the top and the bottom: the sliver between the segment and the rays' exits, no corner.
    Stroke(View(70, 60), View(70, 140));
    EXPECT_EQ(Mask(66, 100), 0);
    EXPECT_EQ(Mask(56, 100), 255);
    EXPECT_EQ(Mask(56, 145), 255);
    SaveForALook(view->grab().toImage(), QStringLiteral("view-outline"));
}

TEST_F(BrushTest, RegressionOutlinePointOnTheCropCentreCutsNothing)
{
    document.step = StepOutlineFace;
    Show(ViewModePaintLayer, ToolErase);
    Stroke(View(100, 100), View(100, 130));  // the crop is the whole face: its centre is (100, 100)
    EXPECT_EQ(Mask(100, 105), 0);  // the stamps erase as always
    EXPECT_EQ(Mask(180, 20), 255); // no polygon reached out to the border
    EXPECT_EQ(Mask(20, 180), 255);
}

TEST_F(BrushTest, RedrawHintFollowsTheViewModeAndTool)
{
    struct Case {
        int32_t viewMode;
        int32_t tool;
        int32_t hint;
    } const cases[] = {{ViewModeAllLayers, ToolErase, HintRedrawRect},
                       {ViewModeAllLayers, ToolMagicErase, HintRedraw},
                       {ViewModePaintLayer, ToolPaint, HintRedraw}};
    for (const Case& c : cases) {
        Show(c.viewMode, c.tool);
        HintLog log(document);
        Stroke(View(100, 100), View(120, 100));
        ASSERT_EQ(log.hints, std::vector<int32_t>{c.hint}) << c.viewMode << " " << c.tool;
        if (c.hint == HintRedrawRect) {
            // The document pixels of the changed content, a pixel more around.
            EXPECT_EQ(log.lastRect, (Rect{700 + face->dirty.left - 1, 500 + face->dirty.top - 1,
                                          700 + face->dirty.right + 1, 500 + face->dirty.bottom + 1}));
        }
    }
}

TEST_F(BrushTest, StrokesUndoBitForBitAndPaintBringsBackWhatEraseTook)
{
    const QImage before = Pixels();
    const QPoint from = ViewPixel(40, 100);
    Drag(*view, from, {from + QPoint(30, 0), from + QPoint(60, 10)});
    const QImage erased = Pixels();
    ASSERT_NE(erased, before);
    EXPECT_EQ(RecordKinds(journal, 0), std::vector<int>{JournalPixels});
    journal.Undo();
    EXPECT_EQ(Pixels(), before);
    journal.Redo();
    EXPECT_EQ(Pixels(), erased);

    document.tool = ToolPaint;
    Drag(*view, from, {from + QPoint(30, 0), from + QPoint(60, 10)});
    EXPECT_EQ(Mask(50, 100), 255);
    EXPECT_EQ(PixelOf(*face->GetImage(), 50, 100), (Bgra{255, 0, 0, 255}));  // blue again, opaque
    journal.Undo();
    EXPECT_EQ(Pixels(), erased);
}

TEST_F(BrushTest, RegressionMagicEraseSkipsALayerWhoseContentFailedToLoad)
{
    auto failed = std::make_unique<LayerImage>(QString(), LayerFlagsFace, 0);
    ASSERT_FALSE(failed->LoadFile(QStringLiteral("/nonexistent/face.jpg")));
    failed->size = {512, 512};
    failed->position = {800, 600};
    Add(std::move(failed));
    document.tool = ToolMagicErase;
    const QPoint from = ViewPixel(40, 100);
    Drag(*view, from, {from + QPoint(30, 0)});
    EXPECT_EQ(RecordKinds(journal, 0), (std::vector<int>{JournalMark, JournalPixels, JournalMark}));
    journal.Undo();
    EXPECT_EQ(journal.GetPosition(), 0);
}

TEST_F(BrushTest, RegressionStrokeWithoutStampsDrawsNothingAndStaysUndoable)
{
    QFile::remove(paths.Get().resourceFolder + QStringLiteral("/paint.bki"));
    QFile::remove(paths.Get().resourceFolder + QStringLiteral("/erase.bki"));
    view = std::make_unique<DocumentView>(&document);
    view->resize(800, 600);
    view->show();
    view->OnUpdate(nullptr, HintRedraw, nullptr);
    EXPECT_EQ(Brush().paintStamp.width, 0);
    const QImage before = Pixels();
    const QPoint from = ViewPixel(40, 100);
    Drag(*view, from, {from + QPoint(30, 0)});
    EXPECT_EQ(Pixels(), before);
    journal.Undo();
    EXPECT_EQ(Pixels(), before);
}

// The base's erase draws the step again: every pointer move stamped, re-masked and redrew its segment
// twice, so a half-opaque stamp took the mask twice as far. Opaque stamps hide it.
TEST_F(BrushTest, RegressionBrushAppliesEveryPointerMoveOnce)
{
    WriteStamps(paths.Get().resourceFolder, 128);
    view = std::make_unique<DocumentView>(&document);
    view->resize(800, 600);
    view->show();
    struct Case {
        const char* name;
        int32_t tool, viewMode, step;
        bool clearFirst;    // the face made clear without a record
        uint8_t maskAfter;  // one half-opaque stamp
        int32_t segmentHint;
    } const cases[] = {
        {"erase", ToolErase, ViewModeAllLayers, StepPlaceFace, false, 127, HintRedrawRect},
        {"outline", ToolOutline, ViewModePaintLayer, StepOutlineFace, false, 127, HintRedraw},
        {"magic erase", ToolMagicErase, ViewModeAllLayers, StepPlaceFace, false, 127, HintRedraw},
        {"paint", ToolPaint, ViewModeAllLayers, StepPlaceFace, true, 128, HintRedrawRect},  // last: clears
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document.step = c.step;
        document.viewMode = c.viewMode;
        document.tool = c.tool;
        view->OnUpdate(nullptr, HintRedraw, nullptr);
        Image& image = *face->GetImage();
        if (c.clearFirst)
            std::memset(image.GetBits(), 0, static_cast<size_t>(image.pitch) * image.height);
        // Two moves of six view units to the right of (90, 60), above the centre (100, 100): the
        // outline cuts away only above the stroke. The pixel looked at lies four view units behind the
        // start and two below it, where only the first stamp (ten units wide) reaches.
        const float unitsPerPixel = View(1, 0).x - View(0, 0).x;
        const QPoint from = ViewPixel(90, 60);
        const int probeX = 90 - static_cast<int>(std::lround(4 / unitsPerPixel));
        const int probeY = 60 + static_cast<int>(std::lround(2 / unitsPerPixel));
        HintLog log(document);
        Drag(*view, from, {from + QPoint(6, 0), from + QPoint(12, 0)});
        EXPECT_NEAR(Mask(probeX, probeY), c.maskAfter, 1);
        // One hint per move, then the full redraw at the end of the stroke.
        std::vector<int32_t> expected(2, c.segmentHint);
        expected.push_back(HintRedraw);
        EXPECT_EQ(log.hints, expected);
        journal.Undo();
    }
}

TEST_F(BrushTest, RegressionCropOutsideThePictureStaysInsideTheImage)
{
    face->cropTopLeft = {-0.5f, -0.5f};  // as a damaged project file may hold it
    face->cropBottomRight = {1.5f, 1.5f};
    face->BeginEdit();
    Stroke(View(-40, -40), View(10, 10));
    EXPECT_EQ(Mask(2, 2), 0);
    EXPECT_GE(face->dirty.left, 0);
    EXPECT_GE(face->dirty.top, 0);
    EXPECT_TRUE(face->EndEdit(journal, 0));
    journal.Undo();
    EXPECT_EQ(Mask(2, 2), 255);
}

} // namespace
