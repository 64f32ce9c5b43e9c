// The outline step as a hand draws it: one stroke around the face through the real drag loop, which
// ends near, but seldom on, the pixel where it began.
#include "ViewFixture.h"

#include "support/LayerPictures.h"

#include "engine/document/JournalKind.h"
#include "engine/document/ToolId.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Image.h"
#include "engine/view/TrackerBrush.h"

#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QTransform>
#include <cmath>
#include <numbers>

namespace {

constexpr int FaceSide = 600;  // content pixels, one a view pixel in the Paint Layer view
constexpr float OutlineBrushScale = 0.4f;  // the fixture's 40-pixel stamps as a 16-pixel brush
constexpr double HalfWidth = 95.0;      // the outline: an ellipse of 190 x 240 view pixels
constexpr double HalfHeight = 120.0;
constexpr int Moves = 70;
constexpr double Margin = 2.0;          // view pixels a mask pixel lies outside the outline to be judged

// Where on the ellipse a stroke begins, as an angle (screen y grows downwards, so pi / 2 is the bottom).
enum class Start { Left, Right, Top, Bottom, Corner };

double StartAngle(Start start)
{
    switch (start) {
    case Start::Left:
        return std::numbers::pi;
    case Start::Right:
        return 0.0;
    case Start::Top:
        return 1.5 * std::numbers::pi;
    case Start::Bottom:
        return 0.5 * std::numbers::pi;
    case Start::Corner:
        // The point whose ray from the centre leaves the square crop through its top-left corner.
        return std::numbers::pi + std::atan2(HalfWidth, HalfHeight);
    }
    return 0.0;
}

QPointF OnEllipse(QPointF centre, double angle)
{
    return {centre.x() + HalfWidth * std::cos(angle), centre.y() + HalfHeight * std::sin(angle)};
}

// One turn around the ellipse from start, about Moves pointer moves, ending short pixels before the start
// along the direction the stroke travels there.
std::vector<QPoint> Outline(QPointF centre, Start start, int short_)
{
    const double from = StartAngle(start);
    const QPoint first = OnEllipse(centre, from).toPoint();
    const QPointF tangent(-HalfWidth * std::sin(from), HalfHeight * std::cos(from));
    const double speed = std::hypot(tangent.x(), tangent.y());  // view pixels per radian at the start
    std::vector<QPoint> points{first};
    for (int i = 1; i < Moves; ++i) {
        const double angle = from + 2.0 * std::numbers::pi * i / Moves;
        if ((from + 2.0 * std::numbers::pi - angle) * speed > short_ + 3.0)
            points.push_back(OnEllipse(centre, angle).toPoint());
    }
    const QPointF back = tangent * (short_ / speed);
    points.push_back(first - QPoint(static_cast<int>(std::lround(back.x())), static_cast<int>(std::lround(back.y()))));
    return points;
}

// A face of 600 x 600 on a 1600 x 1200 scene, selected, at the outline step in the Paint Layer view.
class OutlineStrokeTest : public ViewTest {
protected:
    OutlineStrokeTest()
    {
        SetScene(1600, 1200, 0xFFFF0000);
        face = Add(SolidLayer(FaceSide, FaceSide, 0xFF0000FF, LayerFlagsFace));
        face->position = {800.0f, 600.0f};
        document.selectedIndex = 0;
        document.step = StepOutlineFace;
        document.viewMode = ViewModePaintLayer;
        document.tool = ToolOutline;
        view->OnUpdate(nullptr, HintRedraw, nullptr);
        view->brushTracker->brushScale = OutlineBrushScale;
    }
    // The middle of the face in view pixels.
    QPointF Centre() const
    {
        QTransform m;
        view->DocToViewXform(m);
        return m.map(QPointF(FaceSide / 2.0, FaceSide / 2.0));
    }
    // Mask pixels that lie more than Margin outside the outline (closed from its last point to its first)
    // and are not cut away.
    int LeftOutside(const std::vector<QPoint>& points) const
    {
        QPolygonF outline;
        for (const QPoint& p : points)
            outline << QPointF(p);
        // The outline and a band of Margin view pixels along it, in content pixels.
        QTransform toView;
        view->DocToViewXform(toView);
        QImage near(FaceSide, FaceSide, QImage::Format_Grayscale8);
        near.fill(0);
        {
            QPainter painter(&near);
            painter.setTransform(toView.inverted());
            painter.setPen(QPen(Qt::white, 2.0 * Margin));
            painter.setBrush(Qt::white);
            painter.drawPolygon(outline, Qt::OddEvenFill);
        }
        Image& image = *face->GetImage();
        int left = 0;
        for (int y = 0; y < FaceSide; ++y) {
            for (int x = 0; x < FaceSide; ++x)
                left += PixelOf(image, x, y).a != 0 && qGray(near.pixel(x, y)) == 0;
        }
        return left;
    }
    Layer* face = nullptr;
};

// A stroke that ends within the brush's reach of its start is closed before it is journalled: nothing of
// the face stays outside it, and the whole stroke is one undo step.
TEST_F(OutlineStrokeTest, RegressionAStrokeEndingNearItsStartLeavesNothingOutside)
{
    struct Case {
        const char* name;
        Start start;
    } const starts[] = {{"left", Start::Left}, {"right", Start::Right}, {"top", Start::Top},
                        {"bottom", Start::Bottom}, {"corner", Start::Corner}};
    for (const Case& c : starts) {
        for (const int short_ : {0, 1, 3, 10}) {
            SCOPED_TRACE(testing::Message() << c.name << ", " << short_ << " pixels short");
            const std::vector<QPoint> points = Outline(Centre(), c.start, short_);
            Drag(*view, points.front(), std::vector<QPoint>(points.begin() + 1, points.end()));
            EXPECT_EQ(LeftOutside(points), 0);
            EXPECT_EQ(PixelOf(*face->GetImage(), FaceSide / 2, FaceSide / 2).a, 255);  // the inside stays
            EXPECT_EQ(RecordKinds(journal, 0), std::vector<int>{JournalPixels});
            journal.Undo();
            EXPECT_EQ(PixelOf(*face->GetImage(), 0, 0).a, 255);
            journal.Reset();
        }
    }
}

// A stroke that ends far from its start is not closed: the wedge between its last point and its first,
// out to the crop's border, keeps its pixels.
TEST_F(OutlineStrokeTest, AStrokeEndingFarFromItsStartLeavesTheWedge)
{
    const std::vector<QPoint> points = Outline(Centre(), Start::Left, 60);
    Drag(*view, points.front(), std::vector<QPoint>(points.begin() + 1, points.end()));
    EXPECT_GT(LeftOutside(points), 2000);
    EXPECT_EQ(PixelOf(*face->GetImage(), 5, 5).a, 0);  // the rest of the outside is cut away
}

} // namespace
