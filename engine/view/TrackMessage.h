#pragma once

#include "engine/layers/PointF.h"

#include <cstdint>

// What the drag loop hands a tracker, reduced to what the tracker's rules tell apart. The loop turns
// Qt's events into these; tests feed them directly.
enum class TrackInput {
    Pointer,      // the pointer at a view point: a move, a button other than the left one's release, a wheel
    LeftRelease,  // ends the drag; its point is not used
    Escape,       // ends the drag
    Key,          // any other key pressed or released, whichever widget it was meant for
    Cancel,       // the drag was taken away: lost mouse grab, deactivation, the view hidden
};

// The numbers of the messages a drag sees (the trackers tell them apart by these), passed on to
// AdjustPoint and OnKey.
namespace TrackMessageId {
inline constexpr int32_t MouseMove = 0x200;
inline constexpr int32_t LeftButtonDown = 0x201;
inline constexpr int32_t LeftButtonDoubleClick = 0x203;
inline constexpr int32_t RightButtonDown = 0x204;
inline constexpr int32_t RightButtonUp = 0x205;
inline constexpr int32_t RightButtonDoubleClick = 0x206;
inline constexpr int32_t MiddleButtonDown = 0x207;
inline constexpr int32_t MiddleButtonUp = 0x208;
inline constexpr int32_t MiddleButtonDoubleClick = 0x209;
inline constexpr int32_t MouseWheel = 0x20A;
inline constexpr int32_t ExtraButtonDown = 0x20B;
inline constexpr int32_t ExtraButtonUp = 0x20C;
inline constexpr int32_t ExtraButtonDoubleClick = 0x20D;
inline constexpr int32_t KeyDown = 0x100;
inline constexpr int32_t KeyUp = 0x101;
} // namespace TrackMessageId

struct TrackMessage {
    TrackInput input = TrackInput::Pointer;
    int32_t message = TrackMessageId::MouseMove;  // Pointer and Key: the message's number
    uint32_t wParam = 0;   // Pointer: the buttons held (Qt::MouseButtons); Key: the key (Qt::Key)
    PointF point;          // Pointer: view units
    uint16_t repeat = 0;   // Key: the repeat count
    uint16_t keyFlags = 0; // Key: the native scan code's low bits, as far as Qt knows them
};
