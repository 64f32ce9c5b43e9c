#pragma once

#include "library/catalog/RowRange.h"

#include <cstdint>

// The rows of a content browser for one open category and subcategory: every category a row of
// RowHeight, the open category's subcategories after its row, the open subcategory's items after that
// subcategory's row at ThumbnailRowHeight each, all below the note band when the note is shown. Positions
// (y) are measured from the top of the drawing area before scrolling; rows count from 0.
class TreeRows {
public:
    TreeRows() = default;
    TreeRows(const RowRange& range, bool note) : m_range(range), m_note(note) {}

    const RowRange& Range() const { return m_range; }
    int32_t TotalRows() const { return m_range.totalRows; }

    int32_t GetRowHeight(int32_t row) const;
    // The note band's height plus the heights of rows 0 to n - 1 (n up to TotalRows; below 0 none).
    int32_t RowTop(int32_t n) const;
    // The row that holds y: 0 for a negative y and inside the note band; TotalRows below the last row.
    int32_t RowAtY(int32_t y) const;
    // The top of the row a line or page scroll from position from towards position to lands on: the row
    // at to, or one row further when that is still the row at from (never above 0); past the last row,
    // the bottom of the list.
    int32_t LineScrollPos(int32_t from, int32_t to) const;
    // The scroll bar's inclusive maximum: the last row's bottom plus the note band again and the button
    // band, less one. Without rows the last row is a RowHeight row at RowTop(-1).
    int32_t ScrollMaximum(int32_t buttonBand) const;

    // The open category and subcategory, -1 for none.
    int32_t OpenCategory() const;
    int32_t OpenSubcategory() const;

    bool IsThumbnailRow(int32_t row) const;
    bool IsSubcategoryRow(int32_t row) const;
    // What a row shows: the category c of a category row, the subcategory s (within the open category)
    // of a subcategory row, the position j within the open subcategory of a thumbnail row.
    int32_t CategoryAt(int32_t row) const;
    int32_t SubcategoryAt(int32_t row) const;
    int32_t ThumbnailAt(int32_t row) const { return row - m_range.firstThumbnailRow; }

private:
    // Rows before the thumbnails, and the thumbnails, as they count for heights.
    int64_t RowsBeforeThumbnails() const;
    int64_t ThumbnailRows() const;
    int32_t NoteHeight() const;

    RowRange m_range;
    bool m_note = false;
};
