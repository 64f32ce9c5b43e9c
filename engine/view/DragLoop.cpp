#include "engine/view/DragLoop.h"

#include "engine/view/Tracker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

namespace id = TrackMessageId;

// The message numbers of a button's press, double click and release.
struct ButtonMessages {
    int32_t down;
    int32_t doubleClick;
    int32_t up;
};

ButtonMessages MessagesOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return {id::LeftButtonDown, id::LeftButtonDoubleClick, 0};
    case Qt::RightButton:
        return {id::RightButtonDown, id::RightButtonDoubleClick, id::RightButtonUp};
    case Qt::MiddleButton:
        return {id::MiddleButtonDown, id::MiddleButtonDoubleClick, id::MiddleButtonUp};
    default:
        return {id::ExtraButtonDown, id::ExtraButtonDoubleClick, id::ExtraButtonUp};
    }
}

// The pointer's view point, in whole pixels (the pixel the pointer is in); with clipCursor kept inside
// the client area, as if the cursor were confined there.
PointF ViewPoint(const QWidget& view, QPointF global, bool clipCursor)
{
    const QPointF local = view.mapFromGlobal(global);
    double x = std::floor(local.x());
    double y = std::floor(local.y());
    if (clipCursor) {
        x = std::clamp(x, 0.0, std::max(0.0, view.width() - 1.0));
        y = std::clamp(y, 0.0, std::max(0.0, view.height() - 1.0));
    }
    return {static_cast<float>(x), static_cast<float>(y)};
}

TrackMessage Pointer(int32_t message, Qt::MouseButtons buttons, PointF point)
{
    TrackMessage m;
    m.input = TrackInput::Pointer;
    m.message = message;
    m.wParam = static_cast<uint32_t>(buttons.toInt());
    m.point = point;
    return m;
}

TrackMessage Key(int32_t message, const QKeyEvent& event)
{
    TrackMessage m;
    m.input = TrackInput::Key;
    m.message = message;
    m.wParam = static_cast<uint32_t>(event.key());
    m.repeat = static_cast<uint16_t>(std::max(1, event.count()));
    m.keyFlags = static_cast<uint16_t>(event.nativeScanCode());
    return m;
}

TrackMessage Only(TrackInput input)
{
    TrackMessage m;
    m.input = input;
    return m;
}

bool IsInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
    case QEvent::ContextMenu:
    case QEvent::TabletMove:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

} // namespace

DragLoop::DragLoop(QWidget& view, Tracker& tracker, platform::DeviceContext& dc, bool clipCursor)
    : m_view(view), m_tracker(tracker), m_dc(dc), m_clipCursor(clipCursor),
      m_savedMouseTracking(view.hasMouseTracking())
{
    m_view.setMouseTracking(true);
    m_view.grabMouse();
    m_view.grabKeyboard();
    qApp->installEventFilter(this);
}

DragLoop::~DragLoop()
{
    qApp->removeEventFilter(this);
    if (QWidget::keyboardGrabber() == &m_view)
        m_view.releaseKeyboard();
    if (QWidget::mouseGrabber() == &m_view)
        m_view.releaseMouse();
    m_view.setMouseTracking(m_savedMouseTracking);
}

void DragLoop::Run()
{
    if (!m_done)
        m_loop.exec();
}

void DragLoop::Deliver(const TrackMessage& message)
{
    if (m_done)
        return;
    if (!m_tracker.HandleMessage(m_dc, message)) {
        m_done = true;
        m_loop.quit();
    }
}

bool DragLoop::eventFilter(QObject* watched, QEvent* event)
{
    bool swallow = false;
    std::optional<TrackMessage> message = Translate(m_view, watched, event, m_clipCursor, swallow);
    // Another widget took the mouse (a popup, say): the drag is over, as it would be on losing the
    // platform's capture.
    if ((message || swallow) && QWidget::mouseGrabber() != &m_view)
        message = Only(TrackInput::Cancel);
    if (message)
        Deliver(*message);
    return swallow;
}

std::optional<TrackMessage> DragLoop::Translate(const QWidget& view, const QObject* watched, QEvent* event,
                                                bool clipCursor, bool& swallow)
{
    swallow = false;
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationStateChange) {
        if (QGuiApplication::applicationState() != Qt::ApplicationActive)
            return Only(TrackInput::Cancel);
        return std::nullopt;
    }
    if (!watched || !watched->isWidgetType())
        return std::nullopt;
    const QWidget* widget = static_cast<const QWidget*>(watched);
    if ((type == QEvent::WindowDeactivate && widget == view.window())
        || (type == QEvent::Hide && (widget == &view || widget == view.window())))
        return Only(TrackInput::Cancel);

    switch (type) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        swallow = true;
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        const ButtonMessages ids = MessagesOf(mouse->button());
        int32_t message = id::MouseMove;
        if (type == QEvent::MouseButtonPress)
            message = ids.down;
        else if (type == QEvent::MouseButtonDblClick)
            message = ids.doubleClick;
        else if (type == QEvent::MouseButtonRelease) {
            if (mouse->button() == Qt::LeftButton)
                return Only(TrackInput::LeftRelease);
            message = ids.up;
        }
        return Pointer(message, mouse->buttons(), ViewPoint(view, mouse->globalPosition(), clipCursor));
    }
    case QEvent::Wheel: {
        swallow = true;
        const auto* wheel = static_cast<const QWheelEvent*>(event);
        if (wheel->angleDelta().y() == 0)
            return std::nullopt;  // a horizontal wheel is dropped
        // The wheel's own position belongs to whichever widget it was meant for: the pointer's place on
        // the screen is what the view's point is made from, as for every other pointer message.
        return Pointer(id::MouseWheel, wheel->buttons(), ViewPoint(view, wheel->globalPosition(), clipCursor));
    }
    case QEvent::KeyPress: {
        swallow = true;
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape)
            return Only(TrackInput::Escape);
        return Key(id::KeyDown, *key);
    }
    case QEvent::KeyRelease:
        swallow = true;
        return Key(id::KeyUp, *static_cast<const QKeyEvent*>(event));
    case QEvent::ShortcutOverride:
        // Taken, so that no shortcut runs a command in the middle of a drag.
        event->accept();
        swallow = true;
        return std::nullopt;
    default:
        swallow = IsInputEvent(type);
        return std::nullopt;
    }
}
