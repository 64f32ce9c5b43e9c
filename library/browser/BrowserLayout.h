#pragma once

#include <QColor>
#include <cstdint>

// The content browsers' fixed layout, in pixels, and their colours.
namespace browser_layout {

inline constexpr int32_t ButtonBandHeight = 34;    // the load button's band at the top (scene browser)
inline constexpr int32_t NoteBandHeight = 20;      // the image-rights note above the first row
inline constexpr int32_t RowHeight = 17;           // a category or subcategory row
inline constexpr int32_t ThumbnailRowHeight = 115; // a thumbnail row: the cell, its caption and a gap

inline constexpr int32_t CategoryIconX = 0;
inline constexpr int32_t CategoryTitleX = 20;
inline constexpr int32_t SubcategoryIconX = 19;
inline constexpr int32_t SubcategoryTitleX = 39;
inline constexpr int32_t ThumbnailX = 40;
inline constexpr int32_t CellWidth = 130;          // a placeholder cell; a loaded picture's cell is its width
inline constexpr int32_t CellHeight = 100;
inline constexpr int32_t CaptionBottom = 112;      // the caption runs from the cell's bottom to here
inline constexpr int32_t FrameThickness = 3;       // the chosen item's red frame, inside its cell
inline constexpr int32_t LoadButtonWidth = 200;    // before the first size change

inline constexpr int32_t TitleFontPixels = 12;     // category and subcategory titles
inline constexpr int32_t SmallFontPixels = 9;      // the note and the captions

// Only the first seven characters of an item's name ("http://") are left out of its caption.
inline constexpr int32_t CaptionSkippedCharacters = 7;

inline const QColor NoteColour{0, 128, 0};         // the note and the captions
inline const QColor FrameColour{255, 0, 0};

// The empty browser's two lines stand in 20-pixel bands, the first ending at half the height.
inline constexpr int32_t EmptyTextBandHeight = 20;

} // namespace browser_layout
