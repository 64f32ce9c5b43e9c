#include "ViewFixture.h"

#include "engine/document/JournalKind.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/view/TrackerBrush.h"
#include "engine/view/TrackerRect.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTest>
#include <string>

namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Green = 0xFF00FF00;
constexpr QRgb White = 0xFFFFFFFF;

QRgb At(const QImage& image, QPoint p)
{
    return image.pixel(p) | 0xFF000000;
}

TEST_F(ViewTest, LayoutFitsTheWorkAreaAndMapsBothWays)
{
    SetScene(1600, 1200, Red);
    EXPECT_EQ(view->scale, 801.0f / 1600.0f);  // the client is 801 x 601
    for (const auto& [viewPoint, doc] : {std::pair{PointF{400.5f, 300.5f}, PointF{800.0f, 600.0f}},
                                         {PointF{0.0f, 0.0f}, PointF{0.0f, 600.0f - 300.5f * 1600.0f / 801.0f}}}) {
        PointF p = viewPoint;
        view->ViewToDoc(p);
        EXPECT_TRUE(PointNear(p, doc, 1e-3f));
    }
    QTransform there;
    view->DocToViewXform(there);
    view->ViewToDocXform(there);
    EXPECT_NEAR(there.m11(), 1.0, 1e-6);
    EXPECT_TRUE(PointNear({float(there.dx()), float(there.dy())}, {0.0f, 0.0f}, 1e-3f));
}

TEST_F(ViewTest, MarginsArePaintedWhereTheCompositionLeavesTheClient)
{
    struct Case {
        int w, h;
        std::vector<QPoint> white, blue;
    } const cases[] = {
        // 400 x 400 fills the height: margins left and right only; 800 x 400 the width: above and below.
        {400, 400, {{99, 300}, {702, 300}}, {{101, 300}, {699, 300}, {400, 0}, {400, 599}}},
        {800, 400, {{400, 99}, {400, 502}}, {{0, 300}, {799, 300}, {400, 101}, {400, 499}}},
    };
    for (const Case& c : cases) {
        SetScene(1600, 1200, Red);  // the whole client red first: a white pixel is a painted margin
        Painted();
        SetScene(c.w, c.h, Blue);
        const QImage painted = Painted();
        for (const auto& [points, colour] : {std::pair{&c.white, White}, {&c.blue, Blue}})
            for (const QPoint& p : *points)
                EXPECT_EQ(At(painted, p), colour) << c.w << " at " << p.x() << ", " << p.y();
    }
}

TEST_F(ViewTest, ClicksActFromTheFirstPlacingStateOnAndADoubleClickIsNoPress)
{
    SetScene(1600, 1200, Red);
    Add(SolidLayer(200, 200, Blue, LayerFlagsFace));
    Add(SolidLayer(200, 200, Green, LayerFlagsFace))->position = {400.0f, 300.0f};
    const QPoint onOther = ViewPoint({400.0f, 300.0f});
    document.selectedIndex = 0;
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, onOther, view->mapToGlobal(QPointF(onOther)),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &doubleClick);
    EXPECT_EQ(document.selectedIndex, 0);  // a press there would have selected the other face
    EXPECT_EQ(journal.GetEnd(), 0);

    bool editTextOpened = false;
    view->editText = [&] { editTextOpened = true; };
    for (const int32_t step : {StepFaceChosen, StepPlaceFace}) {
        document.step = step;
        document.selectedIndex = 0;
        const int32_t end = journal.GetEnd();
        QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, onOther);
        EXPECT_EQ(view->OnSetCursor(PointF{float(onOther.x()), float(onOther.y())}), step >= 5);
        EXPECT_EQ(document.selectedIndex, step >= 5 ? 1 : 0) << step;
        EXPECT_EQ(journal.GetEnd() != end, step >= 5) << step;
    }
    // The double click on the selected bubble alone opens Edit Text: not below state 5.
    Layer* bubble = Add(SolidLayer(100, 100, Blue, LayerFlagsBubble));
    document.selectedIndex = 2;
    for (const int32_t step : {StepFaceChosen, StepPlaceFace}) {
        document.step = step;
        QTest::mouseDClick(view.get(), Qt::LeftButton, Qt::NoModifier, ViewPoint(bubble->position));
        EXPECT_EQ(editTextOpened, step >= 5);
    }
}

// A face 200 x 200 selected at the middle of a 1600 x 1200 scene, and another in front covering its
// top-right corner.
class FrameDragTest : public ViewTest {
protected:
    FrameDragTest()
    {
        face = SceneWithSelectedFace();
        Add(SolidLayer(220, 220, Green, LayerFlagsFace))->position = {990.0f, 440.0f};
        Painted();
    }
    void Redraw()
    {
        view->OnUpdate(nullptr, 100, nullptr);
        Painted();
    }
    Layer* face = nullptr;
};

TEST_F(FrameDragTest, EachDragIsJournalledAsItsRecords)
{
    struct Case {
        const char* what;
        int32_t tool;
        int32_t viewMode;
        PointF from;  // document point
        QPoint by;    // view pixels
        std::vector<int> kinds;
    } const cases[] = {
        {"corner: scale and move as one group", ToolMoveResize, ViewModeAllLayers, {900, 500}, {20, -20},
         {JournalMark, JournalScale, JournalMove, JournalMark}},
        {"corner without a move: nothing", ToolMoveResize, ViewModeAllLayers, {900, 500}, {0, 0}, {}},
        {"inside with Move / Resize: a move", ToolMoveResize, ViewModeAllLayers, {800, 600}, {12, 7}, {JournalMove}},
        {"inside with Rotate: a rotation", ToolRotate, ViewModeAllLayers, {850, 600}, {0, 30}, {JournalRotate}},
        {"inside with Crop in the Crop Layer view: a crop", ToolCrop, ViewModeCropLayer, {100, 100}, {30, 0},
         {JournalCrop}},
        {"an edge with Crop: a crop", ToolCrop, ViewModeAllLayers, {900, 600}, {-20, 0}, {JournalCrop}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        face->cropTopLeft = {0.25f, 0.25f};
        face->cropBottomRight = {0.75f, 0.75f};
        face->position = {800.0f, 600.0f};
        face->scale = {2.0f, 2.0f};  // the crop keeps the frame at 200 x 200 document pixels
        document.tool = c.tool;
        document.viewMode = c.viewMode;
        Redraw();
        const LayerInfo before = *face;
        const int32_t start = journal.GetPosition();
        const QPoint from = ViewPoint(c.from);
        Drag(*view, from, {from + c.by});
        EXPECT_EQ(RecordKinds(journal, start), c.kinds);
        EXPECT_EQ(document.selectedIndex, 0) << "the drag is no click on the face in front";
        journal.Undo();  // one step, whatever the group holds
        EXPECT_EQ(journal.GetPosition(), start);
        // Deltas undone in single precision come back to within rounding.
        EXPECT_TRUE(PointNear(face->position, before.position, 3e-4f));
        EXPECT_TRUE(PointNear(face->scale, before.scale));
        EXPECT_TRUE(PointNear(face->cropTopLeft, before.cropTopLeft));
        EXPECT_EQ(face->angle, before.angle);
        journal.Reset();
    }
}

TEST_F(FrameDragTest, RectangleHintRepaintsOnlyItsRectangleAndNoFrame)
{
    const QImage before = Painted();
    // The scene turns green behind the view's back; only the hinted rectangle shows it.
    Image* scene = document.scene->GetImage();
    for (int32_t y = 0; y < scene->height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(scene->GetBits() + y * scene->pitch);
        std::fill(row, row + scene->width, 0xFF00FF00u);
    }
    const Rect hinted{100, 100, 163, 163};
    view->OnUpdate(nullptr, 101, &hinted);
    const QImage after = Painted();
    ExpectChangedOnlyInside(before, after,
                            QRect(ViewPoint({100, 100}) - QPoint(2, 2), ViewPoint({164, 164}) + QPoint(2, 2)));
    EXPECT_EQ(At(after, ViewPoint({130, 130})), Green);

    // Hints wait for a pending full repaint, and unite while they wait.
    view->OnUpdate(nullptr, 100, nullptr);
    const Rect a{10, 10, 20, 20}, b{100, 200, 110, 210};
    view->OnUpdate(nullptr, 101, &a);
    EXPECT_EQ(view->pendingHint, 0);
    Painted();
    view->OnUpdate(nullptr, 101, &a);
    view->OnUpdate(nullptr, 101, &b);
    EXPECT_EQ(view->dirtyRect, (Rect{10, 10, 110, 210}));
}

TEST_F(FrameDragTest, FrameIsDrawnOnlyAfterState4AndNotInThePaintLayerView)
{
    for (const int32_t mode : {ViewModeAllLayers, ViewModeCropLayer, ViewModePaintLayer}) {
        document.viewMode = mode;
        document.step = StepFaceChosen;
        view->OnUpdate(nullptr, 100, nullptr);
        const QImage withoutFrame = Painted();
        document.step = StepPlaceFace;
        view->OnUpdate(nullptr, 100, nullptr);
        EXPECT_EQ(Painted() != withoutFrame, mode != ViewModePaintLayer) << mode;
    }
}

TEST_F(FrameDragTest, TrackFromDocPointPutsTheCursorThereAndDrags)
{
    document.tool = ToolForceMove;
    const QPoint at(400, 300);  // the whole pixel under the point
    EventPlayer player(*view);
    // The pointer's move to the point is the window system's, delivered once the drag runs.
    player.Add(nullptr).Moves({at + QPoint(10, 0)}).End(DragEnd::Release, at + QPoint(10, 0)).Start();
    EXPECT_TRUE(view->TrackFromDocPoint({800.0f, 600.0f}));
    EXPECT_EQ(view->mapFromGlobal(QCursor::pos()), at);
    EXPECT_EQ(RecordKinds(journal, 0), (std::vector<int>{JournalMove}));
    EXPECT_NEAR(face->position.x, 800.0f + 10.0f / view->scale, 1e-3f);
}

// The cursor the view shows: "default", "cross", or the id of the fixture's picture (its id - 100 in red).
std::string CursorShown(const QWidget& view)
{
    // A window without a cursor of its own shows the arrow.
    if (!view.testAttribute(Qt::WA_SetCursor) || view.cursor().shape() == Qt::ArrowCursor)
        return "default";
    if (view.cursor().shape() == Qt::CrossCursor)
        return "cross";
    return std::to_string(qRed(view.cursor().pixmap().toImage().pixel(0, 0)) + 100);
}

TEST_F(FrameDragTest, RegressionTheCursorStaysAsItWasAfterAClickOrDragUntilThePointerMoves)
{
    struct Case {
        const char* what;
        int32_t tool;
        PointF press;  // document point
        QPoint by;     // view pixels from the press to where the pointer rests at the end; none: a click
        std::string before, after;
    } const cases[] = {
        // The front layer selected: its middle, under the pointer, now moves it.
        {"a click on the layer in front", ToolMoveResize, {1050.0f, 400.0f}, {}, "cross", "130"},
        // The uncropped face's left edge cannot go further out: the pointer ends over the bare scene.
        {"a crop drag past the picture's edge", ToolCrop, {700.0f, 600.0f}, {-100, 0}, "135", "default"},
    };
    for (const Case& c : cases) {
        document.selectedIndex = 0;  // the face
        document.tool = c.tool;
        Redraw();
        const QPoint from = ViewPoint(c.press);
        QCursor::setPos(view->screen(), view->mapToGlobal(from));
        QTest::mouseMove(view.get(), from);
        EXPECT_EQ(CursorShown(*view), c.before) << c.what;
        // The pointer rests where the click or drag ends; no move follows.
        QCursor::setPos(view->screen(), view->mapToGlobal(from + c.by));
        if (c.by.isNull())
            QTest::mouseClick(view.get(), Qt::LeftButton, {}, from);
        else
            Drag(*view, from, {from + c.by}, DragEnd::Escape);
        EXPECT_EQ(CursorShown(*view), c.after) << c.what;
    }
    EXPECT_EQ(face->cropTopLeft, (PointF{0.0f, 0.0f}));
}

TEST_F(FrameDragTest, BrushSizeSetsTheScaleAndTheCurrentBrushCursors)
{
    struct Case {
        int32_t size;
        float scale;
        int cursorSize;
    } const cases[] = {{16, 0.125f, 16}, {48, 0.375f, 48}, {20, 0.375f, 48}, {32, 0.25f, 32}};
    for (const Case& c : cases) {
        DocumentView::SetViewBrushSize(&document, c.size);
        EXPECT_EQ(view->brushTracker->brushScale, c.scale) << c.size;
        for (const QCursor* cursor : {&cursors.m_paintCursor, &cursors.m_eraseCursor})
            EXPECT_EQ(qGreen(cursor->pixmap().toImage().pixel(0, 0)), c.cursorSize) << c.size;
    }
    DocumentView::SetViewBrushSize(nullptr, 16);  // no document, no view: nothing happens
}

TEST_F(FrameDragTest, RegressionScaleDragToZeroOrNonFiniteStaysUndoable)
{
    SetScene(1602, 1000, Red);  // a view scale of exactly 0.5
    ASSERT_EQ(view->scale, 0.5f);
    face->position = {801.0f, 500.0f};
    Redraw();
    // The top edge dragged down by the frame's height: the vertical scale lands on exactly 0.
    const QPoint top = ViewPoint({801.0f, 400.0f});
    Drag(*view, top, {top + QPoint(0, 100)});
    EXPECT_EQ(face->scale, (PointF{1.0f, 0.0f}));
    Painted();  // a layer without an inverse draws nothing and its frame is a line
    journal.Undo();
    EXPECT_EQ(face->scale, (PointF{1.0f, 1.0f}));
    EXPECT_EQ(face->position, (PointF{801.0f, 500.0f}));

    // A layer whose height on the screen rounds to nothing: the scale handle would divide by zero.
    face->size.y = 1e-45f;
    document.tool = ToolForceResize;
    const int32_t end = journal.GetEnd();
    Drag(*view, top, {top + QPoint(0, -30)});
    EXPECT_EQ(journal.GetEnd(), end);
    EXPECT_EQ(face->scale, (PointF{1.0f, 1.0f}));
}

} // namespace
