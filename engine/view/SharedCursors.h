#pragma once

#include "engine/base/Angle.h"
#include "platform/Resources.h"

#include <QCursor>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

// The cursors that the editing view and the trackers show: move, rotate, cross, the paint and erase
// brushes at 16, 32 and 48 pixels and eight double-arrow resize cursors. The application object holds
// one, loads it once after its main window exists and never frees it; everyone else reaches it through
// g_cursors (null until the application makes it). Before LoadCursors every field is the default
// arrow and Loaded() is false.
class SharedCursors {
public:
    // Finds a cursor's picture at a square size (16, 32 or 48); the program's resources unless a test
    // gives another.
    using Lookup = std::function<std::optional<platform::Resources::CursorPicture>(int32_t id, int32_t size)>;

    static constexpr int32_t BrushSizes[3] = {16, 32, 48};
    static constexpr int32_t StandardSize = 32;

    // Loads every cursor in this order: the eight resize cursors (131, 142, 133, 143, 135, 144, 137,
    // 141), move (130), rotate (145), the cross, paint (146) at 16, 32, 48, erase (147) at 16, 32, 48;
    // then the current brushes are the 32-pixel ones.
    void LoadCursors();
    void LoadCursors(const Lookup& lookup);
    bool Loaded() const { return m_loaded; }

    // One cursor at one size; when its picture is missing, the next smaller size (48, then 32, then
    // 16), and when 16 is missing as well, the default cursor.
    static QCursor LoadCursor(const Lookup& lookup, int32_t id, int32_t size);

    // The double arrow for an edge's direction: angle 0 is a top edge's (the arrow points up and
    // down), angles turn clockwise on the screen, and a line has the same arrow both ways, so cursor
    // i covers the 22.5-degree sector centred on i x 4096 units (its upper bound included).
    const QCursor& GetResizeCursor(Angle angle) const;
    static int ResizeCursorIndex(Angle angle);

    QCursor m_moveCursor;
    QCursor m_rotateCursor;
    QCursor m_crossCursor;
    QCursor m_eraseCursor;                   // the current erase brush: one of m_eraseCursors
    std::array<QCursor, 3> m_eraseCursors;   // 16, 32, 48 pixels
    QCursor m_paintCursor;                   // the current paint brush: one of m_paintCursors
    std::array<QCursor, 3> m_paintCursors;   // 16, 32, 48 pixels
    std::array<QCursor, 8> m_resizeCursors;  // 0, 22.5 ... 157.5 degrees

private:
    bool m_loaded = false;
};

// The application's shared cursors, or null before the application makes them.
extern SharedCursors* g_cursors;
