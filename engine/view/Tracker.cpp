#include "engine/view/Tracker.h"

#include "engine/view/DocumentView.h"
#include "engine/view/DragLoop.h"

#include <QWidget>

Tracker::Tracker(DocumentView* view) : view(view) {}

Tracker::~Tracker() = default;

bool Tracker::SetCursor(PointF)
{
    return false;
}

void Tracker::OnBeginTrack(platform::DeviceContext&)
{
    tracking = 1;
}

void Tracker::OnErase(platform::DeviceContext& dc, PointF offset)
{
    OnDraw(dc, offset);
}

void Tracker::OnDraw(platform::DeviceContext&, PointF) {}

void Tracker::OnEndTrack() {}

void Tracker::AdjustPoint(int32_t, uint32_t, PointF&) {}

void Tracker::OnKey(int32_t, uint32_t, uint16_t, uint16_t) {}

int32_t Tracker::Track(platform::DeviceContext& dc, PointF start, bool clipCursor)
{
    if (QWidget::mouseGrabber())
        return 0;
    if (!BeginTrack(dc, start))
        return 0;
    {
        // The grabs are given back before OnEndTrack runs.
        DragLoop loop(*view, *this, dc, clipCursor);
        loop.Run();
    }
    return EndTrack();
}

bool Tracker::BeginTrack(platform::DeviceContext& dc, PointF start)
{
    anchor = start;
    current = start;
    last = start;
    OnBeginTrack(dc);
    return tracking != 0;
}

bool Tracker::HandleMessage(platform::DeviceContext& dc, const TrackMessage& message)
{
    switch (message.input) {
    case TrackInput::LeftRelease:
    case TrackInput::Escape:
    case TrackInput::Cancel:
        return false;
    case TrackInput::Key:
        OnKey(message.message, message.wParam, message.repeat, message.keyFlags);
        return tracking != 0;
    case TrackInput::Pointer:
        break;
    }
    current = message.point;
    AdjustPoint(message.message, message.wParam, current);
    if (current == last)
        return true;
    if (tracking != 0)
        OnErase(dc, last - anchor);
    if (tracking != 0)
        OnDraw(dc, current - anchor);
    last = current;
    return tracking != 0;
}

int32_t Tracker::EndTrack()
{
    OnEndTrack();
    const int32_t result = tracking;
    tracking = 0;
    return result;
}

Document* Tracker::GetDocument() const
{
    return view ? view->GetDocument() : nullptr;
}

PointF Tracker::ViewToDocPoint(PointF viewPoint) const
{
    if (view)
        view->ViewToDoc(viewPoint);
    return viewPoint;
}
