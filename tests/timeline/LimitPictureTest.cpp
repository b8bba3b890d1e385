#include "timeline/LimitPicture.h"

#include <gtest/gtest.h>

namespace kelvarox::timeline {
namespace {

TEST(LimitPicture, LinesOfTheEntryInForceAndTheColumnsBeyondThem) {
    ChannelTrace trace(0x140, "Temp - SEU", "Deg.C");
    trace.AddBlock("a.dat", 8766, 8766, 64);
    for (int i = 0; i < 4; ++i) trace.AddSample(10 + i / 4.0, 10.0f * static_cast<float>(i), 0);
    trace.AddBlock("b.dat", 8770, 8770, 64);  // from 8770 on a higher limit, beyond the values shown
    trace.AddSample(11, 30, 0);
    trace.AddSample(11.25, 30, 0);
    trace.Finish();
    ChannelLimits first, later;
    first.yellowHigh = 15;
    first.redHigh = 25;
    later.yellowHigh = 100;
    ChannelEntry a{0x140, std::nullopt, {}, {}, {}, first}, b{0x140, 8770, {}, {}, {}, later};
    const SatelliteDefinition satellite("Example-1", {a, b}, {});
    // Two orbits over 8 columns, values 0 to 40 over 40 rows: x = 4 (t - 10), y = 40 - v.
    const TimeRange view{10, 12};
    const PlotFrame frame{0, 0, 8, 40, {0, 40}};
    const LimitPicture p = ComposeLimits(trace, satellite, view, frame, DecimateTrace(trace, view, 8));
    const std::vector<LimitLine> lines = {{0, 3, 25, LimitLevel::Yellow, false, "15"},
                                          {0, 3, 15, LimitLevel::Red, false, "25"},
                                          {4, 5, 0, LimitLevel::Yellow, true, "100"}};
    EXPECT_EQ(p.lines, lines);
    // A sample's step starts at the sample before it: column 1 reaches 20 and column 2 reaches 30;
    // the levels 20 and 30 joining columns 2 and 3 to the ones before are marked too.
    const auto y = LimitLevel::Yellow, r = LimitLevel::Red;
    const std::vector<BreachMark> marks = {{1, 1, 20, 25, y}, {2, 2, 10, 20, y}, {1, 2, 20, 20, y}, {2, 2, 10, 15, r},
                                           {3, 3, 10, 10, y}, {2, 3, 10, 10, y}, {3, 3, 10, 10, r}, {2, 3, 10, 10, r}};
    EXPECT_EQ(p.marks, marks);
}

}  // namespace
}  // namespace kelvarox::timeline
