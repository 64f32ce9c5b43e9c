#include "engine/colour/Histogram2.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int64_t Hundred = 100;

int64_t RangeTotal(const Histogram2::Counts& counts, int first, int last)
{
    int64_t total = 0;
    for (int level = first; level <= last; ++level)
        total += counts[level];
    return total;
}

// The first level from first to last at which the running total reaches half the range's total
// (rounded down); first when the range holds nothing.
int MedianLevel(const Histogram2::Counts& counts, int first, int last, int64_t total)
{
    int64_t running = 0;
    for (int level = first; level <= last; ++level) {
        running += counts[level];
        if (running >= total / 2)
            return level;
    }
    return first;
}

} // namespace

void Histogram2::SmoothPeaks(const Counts& counts, Smoothed& out)
{
    out.fill(0);
    for (int start = 0; start < WindowCount; ++start) {
        const int last = start + WindowLevels - 1;
        const int64_t total = RangeTotal(counts, start, last);
        const int median = MedianLevel(counts, start, last, total);
        out[median] = std::max(out[median], total);
    }
}

uint8_t Histogram2::PeakLevel(const Counts& counts)
{
    Smoothed smoothed;
    SmoothPeaks(counts, smoothed);
    const int top = static_cast<int>(std::max_element(smoothed.begin(), smoothed.end()) - smoothed.begin());
    const int64_t height = smoothed[top];

    // The peak's extent; the products need 64 bits, since the height can reach the number of pixels.
    int low = top;
    int high = top;
    for (int level = 0; level < LevelCount; ++level) {
        const int distance = std::min(std::abs(level - top), PeakFloorDistance);
        if (smoothed[level] >= (Hundred - distance) * height / Hundred) {
            low = std::min(low, level);
            high = std::max(high, level);
        }
    }
    const int first = std::max(low - MarginBelow, 0);
    const int last = std::min(high + MarginAbove, LevelCount - 1);
    return static_cast<uint8_t>(MedianLevel(counts, first, last, RangeTotal(counts, first, last)));
}

void Histogram2::Analyze()
{
    for (int channel = 0; channel < ChannelCount; ++channel)
        peakLevel[channel] = PeakLevel(bins[channel]);
}
