#pragma once

#include <cstdint>

// The kinds of journal record: the first and the last byte of every record.
inline constexpr uint8_t JournalMark = 0;         // opens or closes a group
inline constexpr uint8_t JournalStep = 1;         // the wizard moved one state forward
inline constexpr uint8_t JournalSelectLayer = 2;  // another selected layer
inline constexpr uint8_t JournalRotate = 3;       // the selected layer's angle, a delta
inline constexpr uint8_t JournalMove = 4;         // its position, a delta
inline constexpr uint8_t JournalScale = 5;        // its scale, a delta
inline constexpr uint8_t JournalCrop = 6;         // its crop rectangle and position, deltas
inline constexpr uint8_t JournalReorder = 7;      // it moved in the list
inline constexpr uint8_t JournalPixels = 8;       // a mask stroke: old XOR new alpha over a rectangle
inline constexpr uint8_t JournalNewScene = 9;     // the scene was replaced
inline constexpr uint8_t JournalInsertLayer = 10; // a new layer
inline constexpr uint8_t JournalDeleteLayer = 11; // a layer taken out and parked
inline constexpr uint8_t JournalRemoveLayer = 12; // a layer taken out and destroyed
inline constexpr uint8_t JournalSetText = 13;     // the selected bubble's text
inline constexpr uint8_t JournalColor = 14;       // the selected layer's colour adjustment, deltas
inline constexpr uint8_t JournalLastKind = JournalColor;

// Sizes of the fixed records; the other kinds carry their size in the record.
inline constexpr int32_t JournalMarkSize = 4;
inline constexpr int32_t JournalStepSize = 4;
inline constexpr int32_t JournalSelectLayerSize = 4;
inline constexpr int32_t JournalRotateSize = 8;
inline constexpr int32_t JournalMoveSize = 16;
inline constexpr int32_t JournalScaleSize = 16;
inline constexpr int32_t JournalCropSize = 32;
inline constexpr int32_t JournalReorderSize = 4;
inline constexpr int32_t JournalColorSize = 20;

// Records start at, and are padded to, multiples of this.
inline constexpr int32_t JournalAlignment = 4;

// Where the variable kinds keep their size: a 32-bit size for pixel records, 16 bits for the others.
inline constexpr int32_t PixelsSizeFront = 4;   // from the start
inline constexpr int32_t PixelsSizeBack = 8;    // from the end
inline constexpr int32_t ShortSizeFront = 2;
inline constexpr int32_t ShortSizeBack = 4;

// The fixed parts of the variable records: header and trailer bytes around the strings or the block.
inline constexpr int32_t PixelsOverhead = 36;     // 28 before the block, 8 after it
inline constexpr int32_t PixelsBlockOffset = 28;
inline constexpr int32_t NewSceneOverhead = 16;
inline constexpr int32_t InsertLayerOverhead = 28;
inline constexpr int32_t LayerOutOverhead = 12;   // kinds 11 and 12
inline constexpr int32_t SetTextOverhead = 8;

// What the fields of the variable records can hold.
inline constexpr int32_t MaxShortRecordSize = 0xFFFF;
inline constexpr int32_t MaxRecordedNumber = 0xFFFF;  // content numbers of kinds 10 to 12
inline constexpr int32_t MaxRecordedTag = 0xFF;
inline constexpr int32_t MaxRecordedIndex = 0xFF;     // kinds 11 and 12; kinds 2 and 10 keep index + 1
