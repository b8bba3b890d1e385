// The trend of a wide view: per-orbit statistics gathered per pixel column, the rule that
// chooses it, and a plot that draws it far out and its samples close in.
#include "timeline/Trend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "timeline/TimeLinePicture.h"

namespace kelvarox::timeline {
namespace {

OrbitStatistics Orbit(int64_t orbit, std::initializer_list<float> values) {
    OrbitStatistics o;
    o.orbit = orbit;
    for (const float v : values) o.Add(v);
    return o;
}

// The statistics of each orbit that holds samples of the trace, in orbit order, as the archive
// keeps them: values that are no finite number are left out.
std::vector<OrbitStatistics> OrbitStatisticsOf(const ChannelTrace& trace) {
    // Blocks may overlap, so the orbits of the samples in trace order are not always in order.
    std::map<int64_t, OrbitStatistics> orbits;
    auto at = orbits.end();
    for (size_t i = 0; i < trace.SampleCount(); ++i) {
        const float value = trace.Value(i);
        if (!std::isfinite(value)) continue;
        const auto orbit = static_cast<int64_t>(std::floor(trace.Time(i)));
        if (at == orbits.end() || at->first != orbit) {
            at = orbits.try_emplace(orbit).first;
            at->second.orbit = orbit;
        }
        at->second.Add(value);
    }
    std::vector<OrbitStatistics> list;
    list.reserve(orbits.size());
    for (const auto& [orbit, statistics] : orbits) list.push_back(statistics);
    return list;
}

TEST(Trend, ColumnsTakeEveryOrbitThatOverlapsThem) {
    // Four columns over orbits 0 to 10: 2.5 orbits each. Orbit 2 lies across the first boundary
    // and counts in both columns; orbits -1 and 12 lie outside the view.
    const std::vector<OrbitStatistics> orbits = {Orbit(-1, {100}),  Orbit(0, {1, 3}), Orbit(2, {10}),
                                                 Orbit(4, {-2, 0}), Orbit(9, {5}),    Orbit(12, {100})};
    const std::vector<TrendColumn> expected = {{0, 3, 14.0 / 3, 1, 10}, {1, 3, 8.0 / 3, -2, 10}, {3, 1, 5, 5, 5}};
    const TimeRange view{0, 10};
    EXPECT_EQ(TrendColumns(view, 4, orbits), expected);
    TrendReduction streamed(view, 4);
    for (const OrbitStatistics& o : orbits) streamed.Add(o);
    EXPECT_EQ(streamed.Columns(), expected);
}

TEST(Trend, UsedWhenTheViewShowsMoreOrbitsThanColumns) {
    const struct {
        TimeRange view;
        int width;
        bool trend;
    } cases[] = {{{0, 1000}, 999, true}, {{0, 1000}, 1000, false}, {{5, 5.5}, 10, false}, {{-3e6, 3e6}, 1000, true}};
    for (const auto& c : cases) EXPECT_EQ(UsesTrend(c.view, c.width), c.trend) << c.view.Span() << " " << c.width;
}

TEST(Trend, APlotDrawsTheTrendFarOutAndTheSamplesCloseIn) {
    // 40 orbits of samples at MA 0 and 128, the samples of orbit 3 from two blocks; one value
    // that is no number, left out of the orbit's statistics.
    ChannelTrace trace(0x140, "Temp - SEU", "Deg.C");
    trace.AddBlock("a.dat", 1, 1, 128);
    for (int i = 0; i < 7; ++i) trace.AddSample(i * 0.5, static_cast<float>(i), 0);
    trace.AddBlock("b.dat", 1, 1, 128);
    for (int i = 7; i < 80; ++i) {
        trace.AddSample(i * 0.5, static_cast<float>(i % 9), 0);
        if (i == 7) trace.AddSample(3.5 + 1 / 256.0, NAN, 0);
    }
    trace.Finish();
    const std::vector<OrbitStatistics> orbits = OrbitStatisticsOf(trace);
    ASSERT_EQ(orbits.size(), 40u);
    EXPECT_EQ(orbits[3], Orbit(3, {6, 7}));

    DateLine dates;
    dates.Finish();
    const PlotContent content{&trace, std::nullopt, PlotColour(0), nullptr, orbits};
    const int width = 100;  // 12 columns of trace
    const PlotPicture far = ComposePlot(content, {0, 40}, dates, width, 100);
    EXPECT_TRUE(far.trace.empty());
    ASSERT_EQ(far.trend.size(), 12u);
    for (const TrendPixels& c : far.trend) EXPECT_TRUE(c.top <= c.mean && c.mean <= c.bottom) << c.x;
    // All orbits in view: the statistics are those of the finite samples.
    Summary all;
    for (int i = 0; i < 80; ++i) all.Add(static_cast<float>(i < 7 ? i : i % 9));
    EXPECT_EQ(far.statistics.rfind("Count 80   Min 0   Max 8   Mean ", 0), 0u) << far.statistics;
    EXPECT_EQ(far.statistics, StatisticsText(all));

    const PlotPicture near = ComposePlot(content, {0, 12}, dates, width, 100);
    EXPECT_TRUE(near.trend.empty());
    EXPECT_FALSE(near.trace.empty());
}

}  // namespace
}  // namespace kelvarox::timeline
