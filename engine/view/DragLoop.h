#pragma once

#include "engine/base/TaskList.h"
#include "engine/view/TrackMessage.h"

#include <QEventLoop>
#include <QObject>
#include <optional>

class QWidget;
class Tracker;
namespace platform {
class DeviceContext;
}

// The loop that runs one drag for Tracker::Track, as a scoped guard: while it lives the view holds the
// mouse and keyboard grabs and mouse tracking (a drag started by a command has no button down), the
// program's timers drop their ticks, and an application event filter takes every widget's input:
// pointer, button, wheel and key events become the tracker's messages and go no further. Paints,
// updates and Qt's own timers pass. The loop ends when the tracker's rules end the drag, and also when
// the view loses the mouse grab, its window is deactivated or the view is hidden (a cancel).
class DragLoop final : public QObject {
public:
    DragLoop(QWidget& view, Tracker& tracker, platform::DeviceContext& dc, bool clipCursor);
    ~DragLoop() override;
    DragLoop(const DragLoop&) = delete;
    DragLoop& operator=(const DragLoop&) = delete;

    // Returns when the drag has ended.
    void Run();

    // What an event means for a drag on view, if anything; a null message for events that are taken
    // and dropped (swallowed) is told apart by swallow.
    static std::optional<TrackMessage> Translate(const QWidget& view, const QObject* watched, QEvent* event,
                                                 bool clipCursor, bool& swallow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Deliver(const TrackMessage& message);

    QWidget& m_view;
    Tracker& m_tracker;
    platform::DeviceContext& m_dc;
    const bool m_clipCursor;
    const bool m_savedMouseTracking;
    TaskListSuspension m_suspension;
    QEventLoop m_loop;
    bool m_done = false;
};
