#include "support/ScopedAppPaths.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/LayerGeometry.h"
#include "engine/layers/LayerInfo.h"

#include <QTransform>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

LayerInfo Placed(float sizeX, float sizeY)
{
    LayerInfo info;
    info.size = {sizeX, sizeY};
    info.centre = {sizeX / 2, sizeY / 2};
    return info;
}

// 100 x 80 pixels cropped to the middle half on both axes.
LayerInfo Cropped()
{
    LayerInfo info = Placed(100, 80);
    info.cropTopLeft = {0.25f, 0.25f};
    info.cropBottomRight = {0.75f, 0.75f};
    return info;
}

TEST(LayerInfoTest, Defaults)
{
    const LayerInfo info;
    EXPECT_EQ(info.number, 0);
    EXPECT_EQ(info.kind, LayerKindOwnFile);
    EXPECT_TRUE(info.path.isEmpty());
    EXPECT_TRUE(info.name.isEmpty());
    EXPECT_EQ(info.position, (PointF{0, 0}));
    EXPECT_EQ(info.scale, (PointF{1, 1}));
    EXPECT_EQ(info.size, (PointF{1, 1}));
    EXPECT_EQ(info.centre, (PointF{0.5f, 0.5f}));
    EXPECT_EQ(info.cropTopLeft, (PointF{0, 0}));
    EXPECT_EQ(info.cropBottomRight, (PointF{1, 1}));
    EXPECT_EQ(info.angle, 0);
    EXPECT_EQ(info.redGamma, 10000);
    EXPECT_EQ(info.greenGamma, 10000);
    EXPECT_EQ(info.blueGamma, 10000);
    EXPECT_EQ(info.contrast, 0);
    EXPECT_EQ(info.brightness, 0);
}

TEST(LayerInfoTest, ResetTransformKeepsIdentityCropAndColour)
{
    LayerInfo info = Placed(40, 30);
    info.number = 9;
    info.name = QStringLiteral("Face 1");
    info.position = {3, 4};
    info.scale = {-2, 2};
    info.angle = 100;
    info.cropTopLeft = {0.25f, 0.25f};
    info.brightness = 12;
    info.ResetTransform();
    EXPECT_EQ(info.position, (PointF{0, 0}));
    EXPECT_EQ(info.scale, (PointF{1, 1}));
    EXPECT_EQ(info.size, (PointF{1, 1}));
    EXPECT_EQ(info.centre, (PointF{0.5f, 0.5f}));
    EXPECT_EQ(info.angle, 0);
    EXPECT_EQ(info.number, 9);
    EXPECT_EQ(info.name, QStringLiteral("Face 1"));
    EXPECT_EQ(info.cropTopLeft, (PointF{0.25f, 0.25f}));
    EXPECT_EQ(info.brightness, 12);
}

TEST(LayerInfoTest, DefaultMapsTheContentCentreToTheOrigin)
{
    const LayerInfo info;
    QTransform m;
    info.BuildXForm(m, false);
    EXPECT_EQ(m.map(QPointF(0.5, 0.5)), QPointF(0, 0));
    QTransform unit;
    info.BuildXForm(unit, true);
    EXPECT_EQ(unit.map(QPointF(0.5, 0.5)), QPointF(0, 0));
}

TEST(LayerInfoTest, ForwardMappingIsRotatedScaledAroundThePivot)
{
    LayerInfo info = Placed(100, 50);
    info.position = {300, 200};
    info.scale = {2, 3};
    info.angle = 16384;  // quarter turn
    QTransform m;
    info.BuildXForm(m, false);
    // Content (60, 25) is 10 right of the pivot (50, 25): scaled 20, turned to +y.
    const QPointF p = m.map(QPointF(60, 25));
    EXPECT_FLOAT_EQ(static_cast<float>(p.x()), 300.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(p.y()), 220.0f);
}

// The inverse rotates by the negated angle through the same table, whose mirrored lookups are up to one
// angle unit (about 1e-4 radian) off the exact value; quarter turns are exact. So the round trip is
// exact up to float rounding at quarter turns, and otherwise off by at most two angle units' turn,
// stretched by the ratio of the scale factors.
TEST(LayerInfoTest, ForwardThenInverseIsTheIdentity)
{
    const double unit = 9.5873799e-05;
    for (const Angle angle : {Angle(0), Angle(1), Angle(5000), Angle(16384), Angle(32768), Angle(40000),
                              Angle(49152), Angle(65535)}) {
        for (const PointF scale : {PointF{1, 1}, PointF{-1.5f, 0.75f}, PointF{0.3f, -2.0f}}) {
            LayerInfo info = Placed(640, 427);
            info.position = {512.5f, -33.0f};
            info.scale = scale;
            info.angle = angle;
            info.cropTopLeft = {0.2f, 0.1f};
            info.cropBottomRight = {0.9f, 0.6f};
            QTransform m;
            info.BuildXForm(m, false);
            ASSERT_TRUE(info.BuildInverseXForm(m));
            const PointF pivot = info.GetPivot();
            const double stretch = std::max(std::abs(scale.x), std::abs(scale.y)) /
                                   std::min(std::abs(scale.x), std::abs(scale.y));
            for (const QPointF p : {QPointF(0, 0), QPointF(639, 426), QPointF(100.25, 300.5)}) {
                const QPointF back = m.map(p);
                const double radius = std::hypot(p.x() - pivot.x, p.y() - pivot.y);
                const double tolerance = 2e-3 + (angle % 16384 == 0 ? 0.0 : 2 * unit * radius * stretch);
                EXPECT_NEAR(back.x(), p.x(), tolerance) << angle << " " << scale.x;
                EXPECT_NEAR(back.y(), p.y(), tolerance) << angle << " " << scale.x;
            }
            // DocToLayer agrees with the forward mapping, in content fractions.
            QTransform unitSquare;
            info.BuildXForm(unitSquare, true);
            const QPointF doc = unitSquare.map(QPointF(0.5, 0.25));
            const auto u = info.DocToLayer({static_cast<float>(doc.x()), static_cast<float>(doc.y())});
            ASSERT_TRUE(u.has_value());
            const double radius = std::hypot(0.5 * 640 - pivot.x, 0.25 * 427 - pivot.y);
            const double tolerance = 1e-5 + (angle % 16384 == 0 ? 0.0 : 2 * unit * radius * stretch / 427);
            EXPECT_NEAR(u->x, 0.5, tolerance) << angle;
            EXPECT_NEAR(u->y, 0.25, tolerance) << angle;
        }
    }
}

TEST(LayerInfoTest, BoundsOfAnUnrotatedLayer)
{
    LayerInfo info = Placed(10, 20);
    info.position = {100, 100};
    info.scale = {2, 2};
    Rect r{0, 0, 10, 20};
    info.ForwardBounds(r);
    EXPECT_EQ(r, (Rect{90, 80, 110, 120}));
    info.InverseBounds(r);
    EXPECT_EQ(r, (Rect{0, 0, 10, 20}));
}

TEST(LayerInfoTest, HitTestOnTheCropEdgesInAllLayersView)
{
    LayerInfo info = Cropped();
    info.position = {50, 40};  // content pixels are document pixels
    // The pivot moved to the crop centre (50, 40), which already sits at the position.
    EXPECT_TRUE(info.HitTest({25, 20}, ViewModeAllLayers));
    EXPECT_TRUE(info.HitTest({75, 60}, ViewModeAllLayers));
    EXPECT_TRUE(info.HitTest({25, 60}, ViewModeAllLayers));
    EXPECT_FALSE(info.HitTest({24, 20}, ViewModeAllLayers));
    EXPECT_FALSE(info.HitTest({76, 60}, ViewModeAllLayers));
    EXPECT_FALSE(info.HitTest({50, 19}, ViewModeAllLayers));
    EXPECT_FALSE(info.HitTest({50, 61}, ViewModeAllLayers));
}

TEST(LayerInfoTest, HitTestInCropLayerView)
{
    LayerInfo info = Cropped();
    info.position = {1000, 1000};  // ignored: the point is in content pixels
    EXPECT_TRUE(info.HitTest({25, 20}, ViewModeCropLayer));
    EXPECT_TRUE(info.HitTest({75, 60}, ViewModeCropLayer));
    EXPECT_FALSE(info.HitTest({24, 20}, ViewModeCropLayer));
    EXPECT_FALSE(info.HitTest({75, 61}, ViewModeCropLayer));
}

TEST(LayerInfoTest, HitTestInPaintLayerView)
{
    const LayerInfo info = Cropped();
    EXPECT_TRUE(info.HitTest({0, 0}, ViewModePaintLayer));
    EXPECT_TRUE(info.HitTest({50, 40}, ViewModePaintLayer));  // size x crop extent, on the edge
    EXPECT_FALSE(info.HitTest({51, 40}, ViewModePaintLayer));
    EXPECT_FALSE(info.HitTest({-1, 0}, ViewModePaintLayer));
}

TEST(LayerInfoTest, HitTestInAnyOtherModeReadsTheUnitSquare)
{
    const LayerInfo info = Placed(100, 80);
    EXPECT_TRUE(info.HitTest({1, 1}, DrawModeSelected));
    EXPECT_FALSE(info.HitTest({1.5f, 0}, DrawModeSelected));
}

TEST(LayerInfoTest, RegressionZeroScaleHasNoInverse)
{
    LayerInfo info = Placed(100, 80);
    info.position = {50, 40};
    info.scale = {0, 1};
    QTransform m;
    EXPECT_FALSE(info.BuildInverseXForm(m));
    EXPECT_TRUE(m.isIdentity());
    EXPECT_FALSE(info.DocToLayer({50, 40}).has_value());
    EXPECT_FALSE(info.HitTest({50, 40}, ViewModeAllLayers));
    Rect r{0, 0, 99, 79};
    info.InverseBounds(r);
    EXPECT_EQ(r, EmptyRect);
    // Forward, a zero scale collapses the layer onto a line.
    Rect forward{0, 0, 99, 79};
    info.ForwardBounds(forward);
    EXPECT_EQ(forward, (Rect{50, 0, 50, 79}));
    EXPECT_EQ(info.scale, (PointF{0, 1}));  // the value itself is kept
}

TEST(LayerInfoTest, RegressionNonFiniteScaleIsNeverHitAndHasNoBounds)
{
    for (const float bad : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(),
                            1e-45f /* its reciprocal overflows */}) {
        LayerInfo info = Placed(100, 80);
        info.scale = {1, bad};
        if (!std::isfinite(bad)) {
            EXPECT_FALSE(info.HitTest({0, 0}, ViewModeAllLayers)) << bad;
        }
        Rect r{0, 0, 10, 10};
        info.InverseBounds(r);
        EXPECT_EQ(r, EmptyRect) << bad;
        if (!std::isfinite(bad)) {
            Rect f{0, 0, 10, 10};
            info.ForwardBounds(f);
            EXPECT_EQ(f, EmptyRect) << bad;
        }
    }
}

class LayerPathTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_paths.IsValid()); }

    using PathGetter = void (LayerInfo::*)(QString&) const;
    static QString PathOf(PathGetter getter, int32_t kind, int32_t number, const QString& path = QString())
    {
        LayerInfo info;
        info.kind = kind;
        info.number = number;
        info.path = path;
        QString out = QStringLiteral("x");  // what an unknown kind leaves
        (info.*getter)(out);
        return out;
    }
    static QString Local(int32_t kind, int32_t number, const QString& path = QString())
    {
        return PathOf(&LayerInfo::GetLocalPath, kind, number, path);
    }
    static QString Remote(int32_t kind, int32_t number, const QString& path = QString())
    {
        return PathOf(&LayerInfo::GetRemotePath, kind, number, path);
    }

    ScopedAppPaths m_paths;
};

TEST_F(LayerPathTest, EveryKind)
{
    const QString cache = g_paths->cacheFolder;
    const QString server = g_paths->serverUrl;
    const QString own = QStringLiteral("/home/u/Me.JPG");
    const QString address = QStringLiteral("http://127.0.0.1:8468/Scenes/12.jpg");

    EXPECT_EQ(Local(LayerKindOwnFile, 0, own), own);
    EXPECT_EQ(Remote(LayerKindOwnFile, 0, own), QString());
    EXPECT_EQ(Local(LayerKindAccessory, 31), cache + "Accessories/31.png");
    EXPECT_EQ(Remote(LayerKindAccessory, 31), server + "Accessories/31.png");
    EXPECT_EQ(Local(LayerKindBackground, 7), cache + "BGs/0007.bki");
    EXPECT_EQ(Remote(LayerKindBackground, 7), server + "BGs/0007.bki");
    EXPECT_EQ(Local(LayerKindBackground, 12345), cache + "BGs/12345.bki");
    EXPECT_EQ(Local(LayerKindScene, 12, address), cache + "Scenes/12.jpg");
    EXPECT_EQ(Remote(LayerKindScene, 12, address), address);
    EXPECT_EQ(Local(LayerKindBubble, 3), cache + "Bubbles/3.emf");
    EXPECT_EQ(Remote(LayerKindBubble, 3), server + "Bubbles/3.emf");
    EXPECT_EQ(Local(LayerKindFace, 4, address), cache + "Scenes/4.jpg");
    EXPECT_EQ(Remote(LayerKindFace, 4, address), address);
    EXPECT_EQ(Local(6, 1), QStringLiteral("x"));
    EXPECT_EQ(Remote(-1, 1), QStringLiteral("x"));
    EXPECT_TRUE(cache.endsWith(QStringLiteral("/Snapmingle2/Cache/")));
}

} // namespace
