#include "engine/view/SharedCursors.h"

#include "platform/ResourceId.h"

#include <QPixmap>

SharedCursors* g_cursors = nullptr;

namespace {

namespace id = platform::ResourceId;

constexpr std::array<int32_t, 8> ResizeCursorIds{id::ResizeCursor0, id::ResizeCursor1, id::ResizeCursor2,
                                                 id::ResizeCursor3, id::ResizeCursor4, id::ResizeCursor5,
                                                 id::ResizeCursor6, id::ResizeCursor7};

constexpr int ResizeSector = 4096;         // 22.5 degrees
constexpr int ResizeSectorHalf = 2048;

void LoadBrushes(const SharedCursors::Lookup& lookup, int32_t cursorId, std::array<QCursor, 3>& cursors)
{
    for (size_t i = 0; i < cursors.size(); ++i)
        cursors[i] = SharedCursors::LoadCursor(lookup, cursorId, SharedCursors::BrushSizes[i]);
}

} // namespace

void SharedCursors::LoadCursors()
{
    LoadCursors(&platform::Resources::Cursor);
}

void SharedCursors::LoadCursors(const Lookup& lookup)
{
    for (size_t i = 0; i < m_resizeCursors.size(); ++i)
        m_resizeCursors[i] = LoadCursor(lookup, ResizeCursorIds[i], StandardSize);
    m_moveCursor = LoadCursor(lookup, id::MoveCursor, StandardSize);
    m_rotateCursor = LoadCursor(lookup, id::RotateCursor, StandardSize);
    m_crossCursor = QCursor(Qt::CrossCursor);
    LoadBrushes(lookup, id::PaintCursor, m_paintCursors);
    LoadBrushes(lookup, id::EraseCursor, m_eraseCursors);
    m_eraseCursor = m_eraseCursors[1];
    m_paintCursor = m_paintCursors[1];
    m_loaded = true;
}

QCursor SharedCursors::LoadCursor(const Lookup& lookup, int32_t cursorId, int32_t size)
{
    for (int i = static_cast<int>(std::size(BrushSizes)) - 1; i >= 0; --i) {
        if (BrushSizes[i] > size)
            continue;
        if (const auto picture = lookup(cursorId, BrushSizes[i]); picture && !picture->image.isNull())
            return QCursor(QPixmap::fromImage(picture->image), picture->hotSpot.x(), picture->hotSpot.y());
    }
    return QCursor();
}

int SharedCursors::ResizeCursorIndex(Angle angle)
{
    // Half a turn, as the angle unit gives it: 182.04445 x 180 truncated, 32768.
    const int half = static_cast<int>(AngleUnitsPerDegree * 180.0f);
    int a = angle;
    if (a >= half)
        a -= half;
    for (int i = 0; i < 8; ++i) {
        if (a <= ResizeSectorHalf + ResizeSector * i)
            return i;
    }
    return 0;  // 30721 to 32767: back to the first sector
}

const QCursor& SharedCursors::GetResizeCursor(Angle angle) const
{
    return m_resizeCursors[ResizeCursorIndex(angle)];
}
