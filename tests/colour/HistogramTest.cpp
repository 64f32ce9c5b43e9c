#include "engine/colour/GammaScale.h"
#include "engine/colour/Histogram2.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A histogram whose three channels hold the same populations: (level, pixels) pairs.
Histogram2 Populations(const std::vector<std::pair<int, int32_t>>& populations)
{
    Histogram2 histogram;
    for (auto& counts : histogram.bins)
        for (const auto& [level, pixels] : populations)
            counts[level] += pixels;
    histogram.Analyze();
    return histogram;
}

} // namespace

TEST(GammaScaleTest, PositionsAndGammasMapAsTheTrackBarsShowThem)
{
    const std::pair<int32_t, int32_t> fromPosition[] = {{0, 39999}, {500, 10000}, {1000, 2499}, {499, 10027},
                                                        {-5, 39999}, {1005, 2499}};
    for (const auto& [position, gamma] : fromPosition)
        EXPECT_EQ(GammaFromPosition(position), gamma) << position;
    const std::pair<int32_t, int32_t> fromGamma[] = {{10000, 499}, {2500, 1000}, {40000, 0}, {100000, 0}, {0, 1000}};
    for (const auto& [gamma, position] : fromGamma)
        EXPECT_EQ(GammaPositionFromGamma(gamma), position) << gamma;
}

TEST(HistogramTest, DominantLevelIsTheMedianOfTheMainPeak)
{
    struct Case {
        const char* what;
        std::vector<std::pair<int, int32_t>> populations;
        int expected;
    };
    const Case cases[] = {
        {"one level", {{0, 50}}, 0},
        {"one level", {{77, 50}}, 77},
        {"one level", {{255, 50}}, 255},
        {"nothing counted", {}, 0},
        {"a second population under 60 % and over 40 levels away", {{60, 1000}, {200, 590}, {250, 590}}, 60},
        {"a second population of 60 % counts", {{60, 1000}, {200, 600}, {250, 600}}, 200},
        // Measured from 100, the population at 235 reaches its floor (60 %) and widens the range to
        // 249, which moves the median to 200; measured from 200 it would not (65 % at 35 levels).
        {"two equal peaks: the lower one leads", {{100, 500}, {200, 500}, {235, 320}}, 200},
        {"a wide peak: its median", {{100, 100}, {101, 100}, {102, 100}, {103, 300}}, 102},
    };
    for (const Case& c : cases) {
        const Histogram2 histogram = Populations(c.populations);
        for (int channel = 0; channel < Histogram2::ChannelCount; ++channel)
            EXPECT_EQ(histogram.peakLevel[channel], c.expected) << c.what;
    }
}

// With a hundred million pixels at the peak, (100 - distance) x height no longer fits 32 bits; a
// wrapped product let far, lower populations into the peak and moved its median.
TEST(HistogramTest, RegressionPeakThresholdOverflowsWithManyPixels)
{
    const Histogram2 histogram = Populations({{60, 100000000}, {200, 59000000}, {250, 59000000}});
    EXPECT_EQ(histogram.peakLevel[0], 60);
}
