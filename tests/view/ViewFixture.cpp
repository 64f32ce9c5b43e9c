#include "ViewFixture.h"

#include "support/LayerPictures.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include "engine/document/JournalKind.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <cstring>

std::unique_ptr<LayerImage> SolidLayer(int w, int h, QRgb colour, int32_t flags)
{
    return PictureLayer(Filled(w, h, colour), flags);
}

void ExpectChangedOnlyInside(const QImage& before, const QImage& after, const QRect& area)
{
    bool changedInside = false;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            const bool same = before.pixel(x, y) == after.pixel(x, y);
            changedInside = changedInside || (!same && area.contains(x, y));
            ASSERT_TRUE(same || area.contains(x, y)) << "changed outside at " << x << ", " << y;
        }
    }
    EXPECT_TRUE(changedInside);
}

EventPlayer::EventPlayer(QWidget& target) : m_target(target)
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        // Only the drag's loop gets them: it holds the mouse grab.
        if (QWidget::mouseGrabber() != &m_target)
            return;
        if (m_next >= m_events.size()) {
            m_timer.stop();
            return;
        }
        const auto& make = m_events[m_next++];
        if (!make)
            return;  // a pause: one turn of the loop for the window system's own events
        const std::unique_ptr<QEvent> event(make());
        QCoreApplication::sendEvent(&m_target, event.get());
    });
}

EventPlayer& EventPlayer::Add(std::function<QEvent*()> make)
{
    m_events.push_back(std::move(make));
    return *this;
}

EventPlayer& EventPlayer::Moves(const std::vector<QPoint>& points)
{
    for (const QPoint& p : points) {
        Add([this, p] {
            return new QMouseEvent(QEvent::MouseMove, p, m_target.mapToGlobal(QPointF(p)), Qt::NoButton,
                                   Qt::LeftButton, Qt::NoModifier);
        });
    }
    return *this;
}

EventPlayer& EventPlayer::End(DragEnd end, QPoint at)
{
    if (end == DragEnd::Escape)
        return Add([] { return new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier); });
    return Add([this, at] {
        return new QMouseEvent(QEvent::MouseButtonRelease, at, m_target.mapToGlobal(QPointF(at)), Qt::LeftButton,
                               Qt::NoButton, Qt::NoModifier);
    });
}

void Drag(DocumentView& view, QPoint from, const std::vector<QPoint>& points, DragEnd end)
{
    EventPlayer player(view);
    player.Moves(points).End(end, points.empty() ? from : points.back()).Start();
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, from);
}

void WriteStamps(const QString& programFolder, int alpha)
{
    // The blend takes the stamp's bytes as premultiplied: white at an opacity is that opacity's grey.
    for (const auto& [name, grey] : {std::pair{"paint.bki", alpha}, {"erase.bki", 0}}) {
        QImage stamp(StampSide, StampSide, QImage::Format_ARGB32);
        stamp.fill(qRgba(grey, grey, grey, alpha));
        WriteFile(programFolder + QLatin1Char('/') + QLatin1String(name), Scrambled(PngBytes(stamp)));
    }
}

ViewTest::ViewTest() : m_savedCursors(g_cursors)
{
    WriteStamps(paths.Get().resourceFolder);
    cursors.LoadCursors([](int32_t id, int32_t size) -> std::optional<platform::Resources::CursorPicture> {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(qRgb(id - 100, size, 0));  // the id and size can be read back from the first pixel
        return platform::Resources::CursorPicture{image, QPoint(size / 2, size / 2)};
    });
    g_cursors = &cursors;
    document.step = StepPlaceFace;
    document.tool = ToolMoveResize;
    document.lockResizeRatio = false;
    view = std::make_unique<DocumentView>(&document);
    view->resize(800, 600);
    view->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
}

ViewTest::~ViewTest()
{
    view.reset();
    g_cursors = m_savedCursors;
}

void ViewTest::SetScene(int w, int h, QRgb colour)
{
    document.scene = SolidLayer(w, h, colour, LayerFlagsBackground);
    view->OnUpdate(nullptr, 100, nullptr);
}

Layer* ViewTest::SceneWithSelectedFace()
{
    SetScene(1600, 1200, 0xFFFF0000);
    Layer* face = Add(SolidLayer(200, 200, 0xFF0000FF, LayerFlagsFace));
    face->position = {800.0f, 600.0f};
    document.selectedIndex = 0;
    Painted();
    return face;
}

Layer* ViewTest::Add(std::unique_ptr<Layer> layer)
{
    Layer* added = layer.release();
    added->LinkBefore(&document.layers);
    return added;
}

QImage ViewTest::Painted()
{
    view->repaint();
    return view->SurfacePixels().copy();
}

QPoint ViewTest::ViewPoint(PointF d) const
{
    QTransform m;
    view->DocToViewXform(m);
    return QPointF(d.x * m.m11() + m.dx(), d.y * m.m22() + m.dy()).toPoint();
}
