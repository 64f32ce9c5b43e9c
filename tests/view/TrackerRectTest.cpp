#include "ViewFixture.h"

#include "engine/document/ToolId.h"
#include "engine/view/TrackerRect.h"
#include "engine/view/ViewDC.h"

#include <QTransform>

namespace {

// A face of 200 x 200 at the middle of a 1600 x 1200 scene, selected; its frame in view units runs from
// (350.4375, 250.4375) to (450.5625, 350.5625).
class TrackerRectTest : public ViewTest {
protected:
    TrackerRectTest() { face = SceneWithSelectedFace(); }
    TrackerRect& Frame() { return *view->rectTracker; }
    // The frame of the current layer and view mode, as a repaint would draw it.
    void Refresh()
    {
        view->OnUpdate(nullptr, 100, nullptr);
        Frame().LoadCurrentLayer();
        Frame().ComputeFrame();
    }
    Layer* face = nullptr;
};

TEST_F(TrackerRectTest, HitTestFollowsTheTool)
{
    struct Case {
        int32_t tool;
        int32_t viewMode;
        bool lockRatio;
        PointF point;
        HandleCode expected;
    } const cases[] = {
        {ToolMoveResize, ViewModeAllLayers, false, {450.5f, 250.5f}, HandleTopRight},
        {ToolMoveResize, ViewModeAllLayers, true, {450.5f, 250.5f}, HandleTop},  // the ratio is kept: an edge
        {ToolMoveResize, ViewModeAllLayers, false, {460.0f, 250.5f}, HandleNone}, // beyond the edge's end
        {ToolMoveResize, ViewModeAllLayers, false, {400.0f, 352.0f}, HandleBottom},
        {ToolMoveResize, ViewModeAllLayers, true, {352.0f, 300.0f}, HandleLeft},
        {ToolMoveResize, ViewModeAllLayers, false, {400.0f, 300.0f}, HandleMove},
        {ToolCrop, ViewModeAllLayers, true, {350.5f, 350.5f}, HandleBottomLeft},
        {ToolCrop, ViewModeAllLayers, false, {400.0f, 300.0f}, HandleNone},  // no move where the crop is shown
        {ToolCrop, ViewModeCropLayer, false, {400.0f, 300.0f}, HandleMove},
        {ToolRotate, ViewModeAllLayers, false, {400.0f, 300.0f}, HandleRotate},
        {ToolRotate, ViewModeAllLayers, false, {450.5f, 250.5f}, HandleRotate},
        {ToolRotate, ViewModeAllLayers, false, {10.0f, 10.0f}, HandleNone},
        {ToolForceMove, ViewModeAllLayers, false, {10.0f, 10.0f}, HandleMove},
        {ToolForceResize, ViewModeAllLayers, false, {10.0f, 10.0f}, HandleScale},
        {ToolForceRotate, ViewModeAllLayers, false, {10.0f, 10.0f}, HandleRotate},
        {ToolPaint, ViewModeAllLayers, false, {400.0f, 300.0f}, HandleNone},
    };
    for (const Case& c : cases) {
        document.tool = c.tool;
        document.viewMode = c.viewMode;
        document.lockResizeRatio = c.lockRatio;
        Refresh();
        EXPECT_EQ(Frame().HitTest(c.point), c.expected) << c.tool << " at " << c.point.x << ", " << c.point.y;
    }
}

TEST_F(TrackerRectTest, CursorFollowsTheHandleAndTheMirroring)
{
    // The fixture's cursor pictures carry their id - 100 in red.
    struct Case {
        int32_t tool;
        float scaleX;
        PointF point;
        int id;
    } const cases[] = {
        {ToolMoveResize, 1.0f, {450.5f, 250.5f}, 133},   // top-right: 45 degrees
        {ToolMoveResize, -1.0f, {350.5f, 250.5f}, 137},  // mirrored, its top-right on the left: 135 degrees
        {ToolMoveResize, 1.0f, {450.5f, 300.0f}, 135},   // right edge: 90 degrees
        {ToolMoveResize, 1.0f, {400.0f, 300.0f}, 130},   // move
        {ToolRotate, 1.0f, {400.0f, 300.0f}, 145},       // rotate
    };
    for (const Case& c : cases) {
        document.tool = c.tool;
        face->scale = {c.scaleX, 1.0f};
        Refresh();
        view->unsetCursor();
        EXPECT_TRUE(Frame().SetCursor(c.point));
        EXPECT_EQ(qRed(view->cursor().pixmap().toImage().pixel(0, 0)) + 100, c.id) << c.point.x << ", " << c.scaleX;
    }
    EXPECT_FALSE(Frame().SetCursor({10.0f, 10.0f}));
}

TEST_F(TrackerRectTest, XorFrameDrawnTwiceLeavesTheSurfaceAsItWas)
{
    const ViewDC dc(*view);
    const QImage before = view->SurfacePixels().copy();
    Frame().DrawFrame(*dc, true);
    EXPECT_NE(view->SurfacePixels(), before);
    Frame().DrawFrame(*dc, true);
    EXPECT_EQ(view->SurfacePixels(), before);
}

TEST_F(TrackerRectTest, CropKeepsOnePixelStaysInsideAndLeavesTheContentInPlace)
{
    document.tool = ToolCrop;
    face->cropTopLeft = {0.25f, 0.25f};
    face->cropBottomRight = {0.75f, 0.75f};
    face->angle = 3000;
    const float pixel = 1.0f / 200.0f;
    struct Case {
        HandleCode handle;
        PointF drag;
        PointF topLeft;
        PointF bottomRight;
    } const cases[] = {
        {HandleRight, {-5000, 0}, {0.25f, 0.25f}, {0.25f + pixel, 0.75f}},
        {HandleRight, {5000, 0}, {0.25f, 0.25f}, {1.0f, 0.75f}},
        {HandleLeft, {5000, 0}, {0.75f - pixel, 0.25f}, {0.75f, 0.75f}},
        {HandleTop, {0, -5000}, {0.25f, 0.0f}, {0.75f, 0.75f}},
        {HandleBottomRight, {0, 5000}, {0.25f, 0.25f}, {1.0f, 1.0f}},  // turned: down reaches right too
    };
    for (const Case& c : cases) {
        Refresh();
        QTransform before;
        Frame().BuildXForm(before, false);
        Frame().ApplyDrag(c.handle, false, c.drag.x, c.drag.y);
        EXPECT_TRUE(PointNear(Frame().cropTopLeft, c.topLeft)) << c.handle;
        EXPECT_TRUE(PointNear(Frame().cropBottomRight, c.bottomRight)) << c.handle;
        QTransform after;
        Frame().BuildXForm(after, false);
        const QPointF was = before.map(QPointF(60.0, 140.0)), is = after.map(QPointF(60.0, 140.0));
        EXPECT_TRUE(PointNear({float(is.x()), float(is.y())}, {float(was.x()), float(was.y())}, 1e-3f)) << c.handle;
    }
    // In the Crop Layer view the inside slides, and stops at the content's border on one axis.
    document.viewMode = ViewModeCropLayer;
    face->angle = 0;
    Refresh();
    Frame().ApplyDrag(HandleMove, false, 10000.0f, -3.005f * 20.0f);
    EXPECT_TRUE(PointNear(Frame().cropTopLeft, {0.5f, 0.15f}));
    EXPECT_TRUE(PointNear(Frame().cropBottomRight, {1.0f, 0.65f}));
}

TEST_F(TrackerRectTest, RotationWrapsThroughAFullTurn)
{
    document.tool = ToolRotate;
    const PointF pivot{400.5f, 300.5f};
    struct Case {
        Angle start;
        PointF anchor;  // from the pivot
        PointF drag;
        Angle expected;
    } const cases[] = {
        {65000, {100, 0}, {-100, 100}, 65000 + 16384 - 65536},  // a quarter turn clockwise, past 65535
        {100, {0, 100}, {100, -100}, 100 - 16384 + 65536},
        {0, {-100, -1}, {0, 2}, 65536 - 210},  // across the opposite direction: a small step, no jump
    };
    for (const Case& c : cases) {
        face->angle = c.start;
        Refresh();
        Frame().anchor = {pivot.x + c.anchor.x, pivot.y + c.anchor.y};
        Frame().ApplyDrag(HandleRotate, false, c.drag.x, c.drag.y);
        EXPECT_EQ(Frame().angle, c.expected) << c.start;
    }
}

TEST_F(TrackerRectTest, MirroredLayerGrowsWhenItsScaleHandleGoesUp)
{
    face->scale = {-1.0f, 1.0f};
    Refresh();
    Frame().ApplyDrag(HandleScale, false, 0.0f, -20.0f);
    EXPECT_LT(Frame().scale.x, -1.0f);
    EXPECT_GT(Frame().scale.y, 1.0f);
    EXPECT_FLOAT_EQ(-Frame().scale.x, Frame().scale.y);

    // With the ratio kept an edge changes the other factor by the same amount, sign matched.
    Frame().LoadCurrentLayer();
    Frame().ApplyDrag(HandleRight, true, 20.0f, 0.0f);
    EXPECT_FLOAT_EQ(Frame().scale.x + 1.0f, 1.0f - Frame().scale.y);
    EXPECT_GT(Frame().scale.x, -1.0f);
}

} // namespace
