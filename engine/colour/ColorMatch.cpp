#include "engine/colour/ColorMatch.h"

#include "engine/colour/GammaScale.h"
#include "engine/colour/Histogram2.h"
#include "engine/document/Document.h"
#include "engine/layers/ImageBusy.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int32_t WorkBits = 32;
constexpr int32_t PictureBits = 24;
constexpr int32_t WorkPixelBytes = 4;
constexpr int32_t PicturePixelBytes = 3;
constexpr int32_t AlphaByte = 3;
constexpr int32_t LevelSpan = 256;  // one level of difference moves the position by 500 / 256

// The first content pixel of a crop edge: trunc(fraction x size) in single precision; 0 when that is no
// number a picture could have.
int32_t FirstContentPixel(float fraction, float size)
{
    const float pixel = fraction * size;
    if (!std::isfinite(pixel) || std::fabs(pixel) >= static_cast<float>(std::numeric_limits<int32_t>::max()))
        return 0;
    return static_cast<int32_t>(pixel);
}

// The half-open range of picture indexes i whose origin + i lies within 0 .. limit - 1.
void InsideRange(int64_t origin, int32_t count, int32_t limit, int32_t& first, int32_t& end)
{
    first = static_cast<int32_t>(std::clamp<int64_t>(-origin, 0, count));
    end = static_cast<int32_t>(std::clamp<int64_t>(limit - origin, first, count));
}

} // namespace

void CountLevels(Image& work, int32_t x0, int32_t y0, Image& picture, Histogram2& layer, Histogram2& behind)
{
    if (work.bitsPerPixel != WorkBits || picture.bitsPerPixel != PictureBits)
        return;
    const ImageBusy workBusy(work);
    const ImageBusy pictureBusy(picture);
    const uint8_t* workBits = work.GetBits();
    const uint8_t* pictureBits = picture.GetBits();
    if (!workBits || !pictureBits)
        return;
    int32_t firstColumn = 0, endColumn = 0, firstRow = 0, endRow = 0;
    InsideRange(x0, picture.width, work.width, firstColumn, endColumn);
    InsideRange(y0, picture.height, work.height, firstRow, endRow);
    for (int32_t y = firstRow; y < endRow; ++y) {
        const uint8_t* workPixel = workBits + (static_cast<int64_t>(y0) + y) * work.pitch +
                                   (static_cast<int64_t>(x0) + firstColumn) * WorkPixelBytes;
        const uint8_t* picturePixel =
            pictureBits + static_cast<int64_t>(y) * picture.pitch + static_cast<int64_t>(firstColumn) * PicturePixelBytes;
        for (int32_t x = firstColumn; x < endColumn; ++x, workPixel += WorkPixelBytes, picturePixel += PicturePixelBytes) {
            if (workPixel[AlphaByte] == 0)
                continue;
            for (int channel = 0; channel < Histogram2::ChannelCount; ++channel) {
                ++layer.bins[channel][workPixel[channel]];
                ++behind.bins[channel][picturePixel[channel]];
            }
        }
    }
}

int32_t MatchedGamma(uint8_t layerLevel, uint8_t behindLevel)
{
    const int32_t difference = static_cast<int32_t>(layerLevel) - static_cast<int32_t>(behindLevel);
    return GammaFromPosition(difference * GammaPositionMiddle / LevelSpan + GammaPositionMiddle);
}

bool MatchColors(Document& document, Layer& layer)
{
    const std::unique_ptr<ImageReference> picture = document.RenderSelectedLayer();
    Image* work = layer.GetImage();
    if (!picture || !work)
        return false;
    // The histograms are large; two live here for the one call.
    Histogram2 layerLevels;
    Histogram2 behindLevels;
    CountLevels(*work, FirstContentPixel(layer.cropTopLeft.x, layer.size.x),
                FirstContentPixel(layer.cropTopLeft.y, layer.size.y), *picture, layerLevels, behindLevels);
    layerLevels.Analyze();
    behindLevels.Analyze();
    layer.blueGamma = MatchedGamma(layerLevels.peakLevel[0], behindLevels.peakLevel[0]);
    layer.greenGamma = MatchedGamma(layerLevels.peakLevel[1], behindLevels.peakLevel[1]);
    layer.redGamma = MatchedGamma(layerLevels.peakLevel[2], behindLevels.peakLevel[2]);
    return true;
}
