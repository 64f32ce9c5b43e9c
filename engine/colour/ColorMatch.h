#pragma once

#include <cstdint>

class Document;
class Histogram2;
class Image;
class Layer;

// Auto Adjust of the Adjust Color dialog: matches a layer's colours to the picture behind it.

// Counts, for every pixel of picture (24 bits) whose pixel of work (32 bits) at (x0 + x, y0 + y) is
// visible (alpha not 0), the work pixel's levels into layer and the picture pixel's into behind. Only
// pixels inside both pictures count: the picture's frame may reach past the work picture's edge. Other
// depths count nothing.
void CountLevels(Image& work, int32_t x0, int32_t y0, Image& picture, Histogram2& layer, Histogram2& behind);

// The gamma that moves a channel's dominant level of the layer towards the background's:
// position (layer - behind) x 500 / 256 + 500 on the gamma track bar's scale (equal levels give 10000).
int32_t MatchedGamma(uint8_t layerLevel, uint8_t behindLevel);

// Sets the layer's three gammas (the selected layer, the one the dialog adjusts) so that its dominant
// levels move towards those of what lies behind it, with the layer's current colours as they are. False,
// with the gammas left as they were, when there is nothing behind it to compare with or no picture.
bool MatchColors(Document& document, Layer& layer);
