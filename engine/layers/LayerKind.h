#pragma once

#include <cstdint>

// What a layer's content is and where it comes from (LayerInfo::kind). The values are stored in
// project files and formed into content file names.
inline constexpr int32_t LayerKindOwnFile = 0;    // a picture file used at its stored path
inline constexpr int32_t LayerKindAccessory = 1;  // accessory PNG from the content library
inline constexpr int32_t LayerKindBackground = 2; // background picture, stored scrambled
inline constexpr int32_t LayerKindScene = 3;      // scene photo, fetched from its stored address
inline constexpr int32_t LayerKindBubble = 4;     // speech-bubble metafile; always a LayerText
inline constexpr int32_t LayerKindFace = 5;       // face photo, fetched from its stored address

// Capability bits (Layer::flags).
inline constexpr int32_t LayerFlagMove = 1;       // moves, resizes, rotates; fitted to the background
inline constexpr int32_t LayerFlagPaint = 2;      // mask painting, colour adjustment; picture stored
inline constexpr int32_t LayerFlagCrop = 4;       // the Crop Layer view applies
inline constexpr int32_t LayerFlagText = 8;       // Edit Text applies, Flip does not
inline constexpr int32_t LayerFlagAccessory = 16; // selectable while accessories are placed

// The combinations the program gives its layers.
inline constexpr int32_t LayerFlagsBackground = 0;
inline constexpr int32_t LayerFlagsScenePhoto = LayerFlagPaint;
inline constexpr int32_t LayerFlagsFace = LayerFlagMove | LayerFlagPaint | LayerFlagCrop;
inline constexpr int32_t LayerFlagsAccessory = LayerFlagMove | LayerFlagAccessory;
inline constexpr int32_t LayerFlagsBubble = LayerFlagMove | LayerFlagText;
