#pragma once

#include "support/JournalRecords.h"
#include "support/PointNear.h"
#include "support/RecordingShell.h"
#include "support/ScopedAppPaths.h"

#include "engine/document/Document.h"
#include "engine/layers/LayerImage.h"
#include "engine/view/DocumentView.h"
#include "engine/view/SharedCursors.h"

#include <QImage>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// A picture layer of w x h pixels of one straight ARGB colour, uncropped, its content pixels on the same
// document pixels when unscaled (position = its centre), with the flags given.
std::unique_ptr<LayerImage> SolidLayer(int w, int h, QRgb colour, int32_t flags);

// Two pictures of the same size that differ somewhere inside area and nowhere outside it.
void ExpectChangedOnlyInside(const QImage& before, const QImage& after, const QRect& area);

// What a person does during a drag, sent to the view one event at a time from the event loop that runs
// the drag (a zero-interval timer: Qt's own timers run during drags). Each event is made right before
// it is sent: Qt's pointer events share their point with the device until they are delivered.
// Nothing is sent before the view holds the mouse grab.
enum class DragEnd { Release, Escape };
class EventPlayer {
public:
    explicit EventPlayer(QWidget& target);
    // Pointer moves with the left button held.
    EventPlayer& Moves(const std::vector<QPoint>& points);
    EventPlayer& End(DragEnd end, QPoint at);
    // Null: a pause of one turn of the event loop.
    EventPlayer& Add(std::function<QEvent*()> make);
    // Sends them once the event loop runs.
    void Start() { m_timer.start(0); }

private:
    QWidget& m_target;
    std::vector<std::function<QEvent*()>> m_events;
    size_t m_next = 0;
    QTimer m_timer;
};
// A press at from, a move to each point and the end, run through the real drag loop.
void Drag(DocumentView& view, QPoint from, const std::vector<QPoint>& points, DragEnd end = DragEnd::Release);

// The brush stamps the tests use, written into a program folder: squares of StampSide pixels, white to
// paint and black to erase (10 view pixels at the default brush scale), of the opacity given.
inline constexpr int StampSide = 40;
void WriteStamps(const QString& programFolder, int alpha = 255);

// A document shown in an 800 x 600 editing view, at wizard state 10 with the Move / Resize tool; the
// shared cursors are loaded from pictures made here and the brush stamps are WriteStamps'.
class ViewTest : public ::testing::Test {
protected:
    ViewTest();
    ~ViewTest() override;

    // A scene of w x h of one colour; the view's layout follows it.
    void SetScene(int w, int h, QRgb colour);
    // A red 1600 x 1200 scene with a blue face of 200 x 200 in its middle, unscaled (content pixel (x, y)
    // is document pixel (700 + x, 500 + y)), selected, and painted.
    Layer* SceneWithSelectedFace();
    // Links a layer in front and answers it.
    Layer* Add(std::unique_ptr<Layer> layer);
    // Paints what is pending now, and answers the surface's pixels.
    QImage Painted();
    // A document point in view units.
    QPoint ViewPoint(PointF doc) const;

    ScopedAppPaths paths;
    RecordingShell shell;
    SharedCursors cursors;
    Document document;
    std::unique_ptr<DocumentView> view;
    Journal& journal = document.journal;

private:
    SharedCursors* m_savedCursors;
};
