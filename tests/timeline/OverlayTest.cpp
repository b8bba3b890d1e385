// Several channels in one plot and the two cursors, without a screen: where the value axes
// stand, the overlaid picture and CSV, and the differences between the cursors.
#include <gtest/gtest.h>

#include <tuple>

#include "timeline/CalendarAxis.h"
#include "timeline/CursorDelta.h"
#include "timeline/Readout.h"
#include "timeline/TimeLinePicture.h"

using namespace kelvarox;
using namespace kelvarox::timeline;

namespace {

// Samples of `values` every `step` MA from `start`, in one block.
ChannelTrace TraceOf(int32_t channel, OrbitTime start, int step, const std::vector<float>& values) {
    ChannelTrace trace(channel, "Channel " + std::to_string(channel), "V");
    trace.AddBlock("c" + std::to_string(channel) + ".dat", 8766, 8766, step);
    for (size_t i = 0; i < values.size(); ++i)
        trace.AddSample(start + static_cast<double>(i) * step / kMAPerOrbit, values[i], 0);
    trace.Finish();
    return trace;
}

}  // namespace

TEST(Overlay, TheFirstAxisIsLeftTheOthersRightEachAColumnFurtherOut) {
    using layout::kValueAxisWidth;
    const std::vector<std::tuple<size_t, std::vector<ValueAxisPlace>, int>> cases = {
        {1, {{false, 71}}, 0},
        {2, {{false, 71}, {true, 900}}, kValueAxisWidth},
        {3, {{false, 71}, {true, 900}, {true, 900 + kValueAxisWidth}}, 2 * kValueAxisWidth},
        {4,
         {{false, 71}, {true, 900}, {true, 900 + kValueAxisWidth}, {true, 900 + 2 * kValueAxisWidth}},
         3 * kValueAxisWidth},
    };
    for (const auto& [channels, places, room] : cases) {
        EXPECT_EQ(PlaceValueAxes(channels, 72, 900), places) << channels;
        EXPECT_EQ(RightAxesRoom(channels), room) << channels;
    }
}

// Each channel on its own scale across the whole trace area, which the right axes narrow; the
// values chosen and the limits are the first channel's.
TEST(Overlay, EachChannelIsDrawnOnItsOwnScaleWithinTheNarrowerTraceArea) {
    const ChannelTrace low = TraceOf(0x140, 10, 4, {0, 1, 2, 3});
    const ChannelTrace high = TraceOf(0x106, 10, 4, {1000, 3000, 2000, 4000});
    DateLine dates;
    dates.Finish();
    const TimeRange view{10, 10 + 12 / kMAPerOrbit};
    const PlotPicture plot =
        ComposePlot({{&low, ValueRange{0, 6}, PlotColour(0)}, {&high, std::nullopt, PlotColour(1)}}, view, dates, 800,
                    200, RightAxesRoom(3));
    EXPECT_EQ(TraceWidth(plot), 800 - layout::kValueAxisWidth - layout::kRightMargin - RightAxesRoom(3));
    EXPECT_EQ(HeaderHeight(plot), 2 * layout::kHeaderHeight);
    EXPECT_EQ(plot.range, (ValueRange{0, 6}));
    ASSERT_EQ(plot.overlays.size(), 1u);
    const OverlayPicture& overlay = plot.overlays[0];
    EXPECT_EQ(overlay.title, "#106  Channel 262  (V)");
    EXPECT_EQ(overlay.statistics.substr(0, 24), "Count 4   Min 1000   Max");
    EXPECT_EQ(overlay.range, (ValueRange{1000, 4000}));
    EXPECT_EQ(overlay.axis, (ValueAxisPlace{true, layout::kValueAxisWidth + TraceWidth(plot)}));
    int32_t top = INT32_MAX, bottom = 0, left = INT32_MAX, right = 0;
    for (const PixelLine& l : overlay.trace) {
        top = std::min({top, l.y0, l.y1});
        bottom = std::max({bottom, l.y0, l.y1});
        left = std::min({left, l.x0, l.x1});
        right = std::max({right, l.x0, l.x1});
    }
    EXPECT_EQ(top, layout::kTopMargin);
    EXPECT_EQ(bottom, layout::kTopMargin + TraceHeight(200));
    EXPECT_EQ(left, layout::kValueAxisWidth);
    EXPECT_LE(right, layout::kValueAxisWidth + TraceWidth(plot));
}

TEST(Overlay, TheCsvOfAPlotHasAColumnForEachChannelAndARowForEachTime) {
    const ChannelTrace first = TraceOf(0x140, 16 + 248 / kMAPerOrbit, 4, {1.5f, 2, 2.5f});
    const ChannelTrace second = TraceOf(0x106, 16 + 252 / kMAPerOrbit, 8, {-1, 0.1f});
    EXPECT_EQ(OverlaidSamplesCsv({&first, &second}, {0, 100}),
              "orbit,ma,#140  Channel 320  (V),#106  Channel 262  (V)\r\n"
              "16,248,1.5,\r\n16,252,2,-1\r\n17,0,2.5,\r\n17,4,,0.1\r\n");
    EXPECT_EQ(OverlaidSamplesCsv({&first, &second}, {16.99, 100}),
              "orbit,ma,#140  Channel 320  (V),#106  Channel 262  (V)\r\n17,0,2.5,\r\n17,4,,0.1\r\n");
}

TEST(CursorDelta, OrbitsAndMACarryAcrossTheOrbitBoundaryInBothDirections) {
    const auto at = [](int64_t orbit, int32_t ma) { return TimeOf(orbit, ma); };
    const std::vector<std::tuple<OrbitTime, OrbitTime, OrbitDelta, std::string>> cases = {
        {at(16, 250), at(17, 2), {false, 0, 8}, "+0 orbits 8 MA"},
        {at(17, 2), at(16, 250), {true, 0, 8}, "-0 orbits 8 MA"},
        {at(16, 128), at(17, 140), {false, 1, 12}, "+1 orbit 12 MA"},
        {at(16, 200), at(18, 100), {false, 1, 156}, "+1 orbit 156 MA"},
        {at(300, 0), at(16, 0), {true, 284, 0}, "-284 orbits 0 MA"},
        {at(16, 3) + 0.3 / kMAPerOrbit, at(16, 3), {false, 0, 0}, "+0 orbits 0 MA"},  // within one MA
    };
    for (const auto& [from, to, delta, text] : cases) {
        EXPECT_EQ(OrbitsBetween(from, to), delta) << text;
        EXPECT_EQ(OrbitDeltaText(OrbitsBetween(from, to)), text);
    }
}

TEST(CursorDelta, TimesAndValuesAreTextsOfTheirDifferences) {
    const std::vector<std::pair<double, std::string>> times = {
        {0, "+00:00:00.000"},
        {1.0 / 86400 / 1000 * 125, "+00:00:00.125"},
        {-(3 + 2.0 / 24), "-3 d 02:00:00.000"},
        {1 - 0.4 / 86'400'000, "+1 d 00:00:00.000"},  // rounded to the millisecond
    };
    for (const auto& [days, text] : times) EXPECT_EQ(TimeDeltaText(days), text) << days;
    EXPECT_EQ(ValueDeltaText(17.5f, 15.25f), "-2.25");
    EXPECT_EQ(ValueDeltaText(0.1f, 0.3f), "+0.2");
    EXPECT_EQ(ValueDeltaText(3, 3), "+0");
    EXPECT_EQ(ValueDeltaText(1e-7f, 0), "-1e-07");

    // By the elements: 14 orbits a day, so one orbit and 128 MA take 1.5 / 14 days.
    ElementSet elements;
    elements.epochAmDay = 8760;
    elements.meanMotion = 14;
    elements.revolution = 1000;
    const OrbitTime second = TimeOf(1000, 200), cursor = TimeOf(1002, 72);
    EXPECT_EQ(CursorDeltaText(second, cursor, TimeOfOrbit(elements, second), TimeOfOrbit(elements, cursor)),
              "Difference +1 orbit 128 MA  +02:34:17.143");
    EXPECT_EQ(CursorDeltaText(cursor, second, std::nullopt, TimeOfOrbit(elements, cursor)),
              "Difference -1 orbit 128 MA");

    const ChannelTrace trace = TraceOf(0x140, 16, 4, {17.5f, 15.25f});
    EXPECT_EQ(SampleDeltaText(trace, *trace.Nearest(16), *trace.Nearest(16.02)),
              "second 17.5 at 16/0 in c320.dat, difference -2.25");
}
