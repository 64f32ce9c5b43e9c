#include "library/browser/TreeRows.h"

#include "library/browser/BrowserLayout.h"

#include <algorithm>
#include <limits>

using namespace browser_layout;

namespace {

// Positions are computed in 64 bits and kept within what a scroll bar holds.
int32_t Saturated(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

} // namespace

int32_t TreeRows::NoteHeight() const
{
    return m_note ? NoteBandHeight : 0;
}

int64_t TreeRows::RowsBeforeThumbnails() const
{
    return std::min(m_range.firstThumbnailRow, m_range.totalRows);
}

int64_t TreeRows::ThumbnailRows() const
{
    return m_range.firstThumbnailRow < m_range.totalRows ? m_range.thumbnailCount : 0;
}

bool TreeRows::IsThumbnailRow(int32_t row) const
{
    return row >= m_range.firstThumbnailRow &&
           int64_t{row} < int64_t{m_range.firstThumbnailRow} + m_range.thumbnailCount;
}

bool TreeRows::IsSubcategoryRow(int32_t row) const
{
    if (m_range.firstSubcategoryRow == RowRange::NoRow || row < m_range.firstSubcategoryRow || IsThumbnailRow(row))
        return false;
    return int64_t{row} < int64_t{m_range.firstSubcategoryRow} + m_range.subcategoryCount + m_range.thumbnailCount;
}

int32_t TreeRows::GetRowHeight(int32_t row) const
{
    return IsThumbnailRow(row) ? ThumbnailRowHeight : RowHeight;
}

int32_t TreeRows::RowTop(int32_t n) const
{
    if (n <= 0)
        return NoteHeight();
    const int64_t thumbnailsAbove = std::clamp<int64_t>(int64_t{n} - m_range.firstThumbnailRow, 0, ThumbnailRows());
    return Saturated(NoteHeight() + int64_t{RowHeight} * n + (ThumbnailRowHeight - RowHeight) * thumbnailsAbove);
}

int32_t TreeRows::RowAtY(int32_t y) const
{
    int64_t rest = int64_t{y} - NoteHeight();
    if (rest < 0)
        return 0;  // above the rows, or in the note band
    const int64_t before = RowsBeforeThumbnails();
    if (rest < RowHeight * before)
        return static_cast<int32_t>(rest / RowHeight);
    rest -= RowHeight * before;
    const int64_t thumbnails = ThumbnailRows();
    if (rest < ThumbnailRowHeight * thumbnails)
        return static_cast<int32_t>(before + rest / ThumbnailRowHeight);
    rest -= ThumbnailRowHeight * thumbnails;
    return static_cast<int32_t>(std::min<int64_t>(m_range.totalRows, before + thumbnails + rest / RowHeight));
}

int32_t TreeRows::LineScrollPos(int32_t from, int32_t to) const
{
    int32_t row = RowAtY(to);
    if (row == RowAtY(from)) {
        row += to > from ? 1 : -1;
        if (row < 0)
            return 0;
    }
    // Below every row: the list's bottom, which the scroll bar clamps to its end. The last row's top
    // would lie above a position near the end, and a step down would scroll up.
    return RowTop(std::min(row, m_range.totalRows));
}

int32_t TreeRows::ScrollMaximum(int32_t buttonBand) const
{
    const int32_t last = m_range.totalRows - 1;
    const int64_t lastHeight = last >= 0 ? GetRowHeight(last) : RowHeight;
    return Saturated(int64_t{RowTop(last)} + NoteHeight() + buttonBand + lastHeight - 1);
}

int32_t TreeRows::OpenCategory() const
{
    return m_range.firstSubcategoryRow == RowRange::NoRow ? -1 : m_range.firstSubcategoryRow - 1;
}

int32_t TreeRows::OpenSubcategory() const
{
    if (m_range.firstThumbnailRow == RowRange::NoRow)
        return -1;
    return m_range.firstThumbnailRow - m_range.firstSubcategoryRow - 1;
}

int32_t TreeRows::CategoryAt(int32_t row) const
{
    if (OpenCategory() < 0 || row < m_range.firstSubcategoryRow)
        return row;
    return row - m_range.subcategoryCount - m_range.thumbnailCount;
}

int32_t TreeRows::SubcategoryAt(int32_t row) const
{
    int32_t s = row - m_range.firstSubcategoryRow;
    if (m_range.thumbnailCount > 0 && int64_t{row} >= int64_t{m_range.firstThumbnailRow} + m_range.thumbnailCount)
        s -= m_range.thumbnailCount;
    return s;
}
