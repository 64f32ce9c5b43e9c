#include "ViewFixture.h"

#include "engine/base/TaskList.h"
#include "engine/view/Tracker.h"
#include "engine/view/ViewDC.h"

#include <QApplication>
#include <QStringList>
#include <QWheelEvent>

namespace {

// Writes down every operation the drag calls; OnBeginTrack gives the drag `code`.
class RecordingTracker final : public Tracker {
public:
    RecordingTracker(DocumentView* view, int32_t code) : Tracker(view), code(code) {}

    void OnBeginTrack(platform::DeviceContext&) override
    {
        calls << "begin";
        tracking = code;
    }
    void OnErase(platform::DeviceContext&, PointF o) override
    {
        calls << QStringLiteral("erase %1 %2").arg(o.x).arg(o.y);
    }
    void OnDraw(platform::DeviceContext&, PointF o) override
    {
        calls << QStringLiteral("draw %1 %2").arg(o.x).arg(o.y);
        duringDrag = TaskListSuspension::Active() && view->hasMouseTracking() && QWidget::mouseGrabber() == view;
        if (drawsBeforeStop > 0 && --drawsBeforeStop == 0)
            tracking = 0;
    }
    void OnEndTrack() override { calls << "end"; }
    void OnKey(int32_t message, uint32_t key, uint16_t, uint16_t) override
    {
        calls << QStringLiteral("key %1 %2").arg(message).arg(key);
    }

    int32_t code;
    int drawsBeforeStop = 0;
    bool duringDrag = false;
    QStringList calls;
};

TrackMessage Move(float x, float y)
{
    TrackMessage m;
    m.point = {x, y};
    return m;
}

TrackMessage Input(TrackInput input, uint32_t key = 0)
{
    TrackMessage m;
    m.input = input;
    m.message = TrackMessageId::KeyDown;
    m.wParam = key;
    return m;
}

TEST_F(ViewTest, DragRulesFedAsMessages)
{
    struct Case {
        const char* what;
        int32_t code;
        int drawsBeforeStop;
        std::vector<TrackMessage> messages;
        QStringList calls;
        int32_t result;
    } const cases[] = {
        {"press and release", 5, 0, {Input(TrackInput::LeftRelease)}, {"begin", "end"}, 5},
        {"the same point again", 5, 0, {Move(10, 10), Input(TrackInput::LeftRelease)}, {"begin", "end"}, 5},
        {"moves", 5, 0, {Move(12, 10), Move(12, 10), Move(15, 13), Input(TrackInput::LeftRelease)},
         {"begin", "erase 0 0", "draw 2 0", "erase 2 0", "draw 5 3", "end"}, 5},
        {"escape ends as a release does", 5, 0, {Move(11, 10), Input(TrackInput::Escape), Move(20, 20)},
         {"begin", "erase 0 0", "draw 1 0", "end"}, 5},
        {"a cancel too", 7, 0, {Input(TrackInput::Cancel), Move(20, 20)}, {"begin", "end"}, 7},
        {"keys go to OnKey", 5, 0, {Input(TrackInput::Key, Qt::Key_A), Input(TrackInput::LeftRelease)},
         {"begin", "key 256 65", "end"}, 5},
        {"the tracker ends it", 5, 1, {Move(11, 10), Move(12, 10)}, {"begin", "erase 0 0", "draw 1 0", "end"}, 0},
        {"refused", 0, 0, {Move(11, 10)}, {"begin"}, 0},
    };
    const ViewDC dc(*view);
    for (const Case& c : cases) {
        RecordingTracker tracker(view.get(), c.code);
        tracker.drawsBeforeStop = c.drawsBeforeStop;
        int32_t result = 0;
        if (tracker.BeginTrack(*dc, {10, 10})) {
            for (const TrackMessage& m : c.messages) {
                if (!tracker.HandleMessage(*dc, m))
                    break;
            }
            result = tracker.EndTrack();
        }
        EXPECT_EQ(tracker.calls, c.calls) << c.what;
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(tracker.tracking, 0) << c.what;
    }
}

TEST_F(ViewTest, DragThroughPostedEventsEndsOnReleaseEscapeOrDeactivation)
{
    const QStringList moved{"begin", "erase 0 0", "draw 5 0", "erase 5 0", "draw 8 3", "end"};
    for (const int end : {0, 1, 2}) {
        view->setMouseTracking(false);
        RecordingTracker tracker(view.get(), 3);
        EventPlayer player(*view);
        player.Moves({{105, 100}, {108, 103}});
        if (end == 2)
            player.Add([] { return new QEvent(QEvent::WindowDeactivate); });
        else
            player.End(end == 0 ? DragEnd::Release : DragEnd::Escape, {108, 103});
        player.Moves({{150, 150}}).Start();  // after the end: not the drag's
        const ViewDC dc(*view);
        EXPECT_EQ(tracker.Track(*dc, {100, 100}, false), 3);
        EXPECT_EQ(tracker.calls, moved) << end;
        EXPECT_TRUE(tracker.duringDrag) << "grabbed, tracking the mouse, timers suspended";
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
        EXPECT_FALSE(view->hasMouseTracking());
        EXPECT_FALSE(TaskListSuspension::Active());
    }
}

TEST_F(ViewTest, RegressionWheelDuringDragIsReadAtThePointersViewPosition)
{
    view->move(100, 50);
    RecordingTracker tracker(view.get(), 3);
    // The wheel's own position is its target's; the drag takes the pointer's place on the screen.
    EventPlayer player(*view);
    player.Add([&] {
        return new QWheelEvent(QPointF(5, 5), view->mapToGlobal(QPointF(40, 30)), QPoint(), QPoint(0, 120),
                               Qt::LeftButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    });
    player.End(DragEnd::Release, {40, 30}).Start();
    const ViewDC dc(*view);
    tracker.Track(*dc, {10, 10}, false);
    EXPECT_EQ(tracker.calls, (QStringList{"begin", "erase 0 0", "draw 30 20", "end"}));
}

TEST_F(ViewTest, NoDragWhileAnotherWidgetHoldsTheMouseAndAClippedDragStaysInTheClient)
{
    const ViewDC dc(*view);
    {
        QWidget other;
        other.show();
        other.grabMouse();
        RecordingTracker tracker(view.get(), 3);
        EXPECT_EQ(tracker.Track(*dc, {100, 100}, false), 0);
        EXPECT_TRUE(tracker.calls.isEmpty());
        other.releaseMouse();
    }
    RecordingTracker tracker(view.get(), 1);
    EventPlayer player(*view);
    player.Moves({{-50, 900}}).End(DragEnd::Release, {0, 0}).Start();
    tracker.Track(*dc, {10, 10}, true);
    EXPECT_EQ(tracker.current, (PointF{0.0f, 599.0f}));
}

} // namespace
