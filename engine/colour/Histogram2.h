#pragma once

#include <array>
#include <cstdint>

// One three-channel histogram of levels and the dominant level of each channel: the median of the
// distribution's main peak rather than of the whole histogram, so that a few pixels of another colour
// do not pull it away. Channel 0 counts blue, 1 green and 2 red, the byte order of the pixels.
class Histogram2 {
public:
    static constexpr int ChannelCount = 3;
    static constexpr int LevelCount = 256;
    using Counts = std::array<int32_t, LevelCount>;
    using Smoothed = std::array<int64_t, LevelCount>;

    // Sets peakLevel of the three channels from the counts.
    void Analyze();
    // Gives each 30-level window's total to the window's median level; a level keeps the largest total
    // it was given.
    static void SmoothPeaks(const Counts& counts, Smoothed& out);

    std::array<uint8_t, ChannelCount> peakLevel{};
    // The caller counts: one more at a level of a channel per pixel.
    std::array<Counts, ChannelCount> bins{};

    static constexpr int WindowLevels = 30;
    static constexpr int WindowCount = LevelCount - WindowLevels + 1;  // 227
    // A level belongs to the peak while its smoothed count reaches the peak's height less one hundredth
    // per level of distance, never less than 60 hundredths from 40 levels on.
    static constexpr int PeakFloorDistance = 40;
    // The median is taken over the peak's extent widened by these many levels below and above.
    static constexpr int MarginBelow = 15;
    static constexpr int MarginAbove = 14;

private:
    static uint8_t PeakLevel(const Counts& counts);
};
