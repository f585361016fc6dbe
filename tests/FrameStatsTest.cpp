// The frame statistics of --stats: ranks taken on the frames as shown,
// whatever their order, and a report that says only what was measured.
#include <gtest/gtest.h>

#include <vector>

#include "core/FrameStats.h"

namespace {

struct Case {
    const char* name;
    std::vector<double> frames;
    double median, p99, slowest;
};

class FrameStatsRanks : public ::testing::TestWithParam<Case> {};

TEST_P(FrameStatsRanks, MedianPercentileAndSlowest)
{
    FrameStats stats;
    for (double ms : GetParam().frames) stats.AddFrame(ms);
    EXPECT_EQ(stats.Frames(), GetParam().frames.size());
    EXPECT_DOUBLE_EQ(stats.Median(), GetParam().median);
    EXPECT_DOUBLE_EQ(stats.Percentile(0.99), GetParam().p99);
    EXPECT_DOUBLE_EQ(stats.Slowest(), GetParam().slowest);
}

std::vector<double> OneToHundredReversed()
{
    std::vector<double> frames;
    for (int ms = 100; ms >= 1; --ms) frames.push_back(ms);
    return frames;
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameStatsRanks,
                         ::testing::Values(Case{"None", {}, 0, 0, 0}, Case{"One", {16.5}, 16.5, 16.5, 16.5},
                                           Case{"OneToHundred", OneToHundredReversed(), 50, 99, 100},
                                           Case{"OneSlowAmongSteady", {16, 17, 16, 16, 80, 17, 16}, 16, 80, 80}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(FrameStatsTest, ReportsCpuPerSecondAndTheFirstFrameOnlyOnceMeasured)
{
    FrameStats stats;
    stats.AddFrame(20);
    EXPECT_EQ(stats.CpuPerSecond(), 0);
    EXPECT_EQ(stats.Report().find("first frame"), std::string::npos);

    stats.SetPlay(10.0, 4.5);
    stats.SetFirstFrameMs(123.4);
    stats.SetStillFrames(7);
    EXPECT_DOUBLE_EQ(stats.CpuPerSecond(), 0.45);
    const std::string report = stats.Report();
    for (const char* line :
         {"frames shown: 1\n", "median frame: 20.0 ms\n", "99th percentile frame: 20.0 ms\n",
          "slowest frame: 20.0 ms\n", "cpu per second of play: 45 %\n", "still frames not drawn again: 7\n",
          "first frame after start: 123 ms\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << " in\n" << report;
}

}   // namespace
