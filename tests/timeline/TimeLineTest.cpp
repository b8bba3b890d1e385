// The time line's arithmetic without a screen: the reduction to pixel columns against every
// sample drawn one by one, the statistics and the nearest sample against a plain count over
// the samples, the zoom and pan arithmetic, the days of the axis and its marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>

#include "timeline/ChannelTrace.h"
#include "timeline/DateLine.h"
#include "timeline/Decimation.h"
#include "timeline/TimeAxis.h"
#include "timeline/ValueScale.h"

using namespace kelvarox::timeline;

namespace {

struct TestBlock {
    OrbitTime start;
    int samples;
    int maStep;
};

ChannelTrace TraceOf(const std::vector<TestBlock>& blocks, std::mt19937& random) {
    ChannelTrace trace(0x140, "Temp - SEU", "Deg.C");
    std::uniform_int_distribution<int> raw(0, 255);
    int n = 0;
    for (const TestBlock& b : blocks) {
        trace.AddBlock("b" + std::to_string(n++) + ".dat", 8766, 8766, b.maStep);
        for (int i = 0; i < b.samples; ++i) {
            const int r = raw(random);
            trace.AddSample(b.start + i * b.maStep / 256.0, static_cast<float>(r) * 0.5f - 20, static_cast<uint8_t>(r));
        }
    }
    trace.Finish();
    return trace;
}

// Blocks of 1 to 384 samples, some joining the one before, some after a gap, some overlapping.
std::vector<TestBlock> RandomBlocks(std::mt19937& random, int count) {
    std::vector<TestBlock> blocks;
    OrbitTime t = 1000;
    for (int i = 0; i < count; ++i) {
        const int step = 1 << (random() % 4);
        const int samples = 1 + static_cast<int>(random() % 384);
        blocks.push_back({t, samples, step});
        const OrbitTime end = t + (samples - 1) * step / 256.0;
        switch (random() % 4) {
            case 0:
                t = end + step / 256.0;
                break;  // joins
            case 1:
                t = end - 0.5;
                break;  // overlaps
            default:
                t = end + (random() % 4000) / 256.0;  // a gap
        }
    }
    return blocks;
}

// Every sample drawn as its own step, column by column: what the reduction must give.
std::vector<TraceColumn> DrawnOneByOne(const ChannelTrace& trace, const TimeRange& view, int width) {
    std::vector<TraceColumn> out;
    const auto column = [&](OrbitTime t) {
        const double x = std::floor((t - view.left) * (width / view.Span()));
        return static_cast<int32_t>(std::clamp(x, -1.0, static_cast<double>(width)));
    };
    for (size_t b = 0; b < trace.BlockCount(); ++b) {
        const TraceBlock& block = trace.Block(b);
        for (size_t i = block.first; i < block.first + block.count; ++i) {
            const float v = trace.Value(i);
            const bool joins = !out.empty() && (i > block.first || block.joinsPrevious);
            if (joins) {
                out.back().low = std::min(out.back().low, v);
                out.back().high = std::max(out.back().high, v);
            }
            if (!out.empty() && out.back().x == column(trace.Time(i))) {
                out.back().low = std::min(out.back().low, v);
                out.back().high = std::max(out.back().high, v);
                continue;
            }
            out.push_back({column(trace.Time(i)), v, v, v, joins});
        }
    }
    // Only what lies in view or next to it counts: the columns -1 and `width` gather the rest.
    std::vector<TraceColumn> inView;
    for (const TraceColumn& c : out) {
        if (c.x >= 0 && c.x < width) inView.push_back(c);
    }
    return inView;
}

std::vector<TraceColumn> InView(std::vector<TraceColumn> columns, int width) {
    std::erase_if(columns, [&](const TraceColumn& c) { return c.x < 0 || c.x >= width; });
    return columns;
}

}  // namespace

TEST(TimeLine, TheReductionDrawsWhatEverySampleWouldDraw) {
    std::mt19937 random(14);
    const ChannelTrace trace = TraceOf(RandomBlocks(random, 300), random);
    const TimeRange all = *trace.Extent();
    for (int round = 0; round < 200; ++round) {
        const int width = 50 + static_cast<int>(random() % 1200);
        const double span = all.Span() * std::pow(10.0, -static_cast<double>(random() % 600) / 100);
        const OrbitTime left = all.left - span / 2 + all.Span() * (random() % 1000) / 1000.0;
        const TimeRange view{left, left + span};
        EXPECT_EQ(InView(DecimateTrace(trace, view, width), width), DrawnOneByOne(trace, view, width))
            << "round " << round << ", width " << width;
    }
}

// A finished trace takes more blocks: later ones after it, an earlier one in its place. It then
// holds what a trace built at once holds, and a copy taken before keeps what it had, across the
// chunks its samples are stored in.
TEST(TimeLine, ATraceTakesMoreBlocksAndItsCopiesKeepWhatTheyHad) {
    std::mt19937 random(21);
    std::vector<TestBlock> blocks = RandomBlocks(random, 400);
    const auto add = [](ChannelTrace& trace, const TestBlock& b, size_t n) {
        trace.AddBlock("b" + std::to_string(n) + ".dat", 8766, 8766, b.maStep);
        for (int i = 0; i < b.samples; ++i)
            trace.AddSample(b.start + i * b.maStep / 256.0, static_cast<float>((n * 31 + i * 7) % 200),
                            static_cast<uint8_t>(i));
    };
    const auto contents = [](const ChannelTrace& trace) {
        std::vector<std::tuple<std::string, size_t, bool, double, float>> rows;
        for (size_t b = 0; b < trace.BlockCount(); ++b) {
            const TraceBlock& block = trace.Block(b);
            for (size_t i = block.first; i < block.first + block.count; ++i)
                rows.emplace_back(block.file, i, block.joinsPrevious, trace.Time(i), trace.Value(i));
        }
        return rows;
    };
    // The blocks in the order they come: 250, then 150 after them, then one before them all.
    std::sort(blocks.begin(), blocks.end(), [](const TestBlock& a, const TestBlock& b) { return a.start < b.start; });
    blocks.push_back({blocks.front().start - 10, 384, 1});
    ChannelTrace growing(0x140, "Temp - SEU", "Deg.C");
    std::vector<std::pair<ChannelTrace, decltype(contents(growing))>> copies;
    for (const auto& [from, to] : {std::pair<size_t, size_t>{0, 250}, {250, 400}, {400, 401}}) {
        for (size_t n = from; n < to; ++n) add(growing, blocks[n], n);
        growing.Finish();
        ChannelTrace atOnce(0x140, "Temp - SEU", "Deg.C");
        for (size_t n = 0; n < to; ++n) add(atOnce, blocks[n], n);
        atOnce.Finish();
        EXPECT_EQ(contents(growing), contents(atOnce)) << to;
        copies.emplace_back(growing, contents(growing));
    }
    EXPECT_GT(growing.SampleCount(), 3 * 16384u);
    for (const auto& [copy, held] : copies) EXPECT_EQ(contents(copy), held);
}

TEST(TimeLine, BlocksMoreThanOneMAStepApartBreakTheLine) {
    std::mt19937 random(1);
    // Four samples 4 MA apart from orbit 10; the next block one step later joins, the one after
    // that starts two steps after it ends.
    const ChannelTrace trace = TraceOf({{10, 4, 4}, {10 + 16 / 256.0, 4, 4}, {10 + 36 / 256.0, 4, 4}}, random);
    EXPECT_FALSE(trace.Block(0).joinsPrevious);
    EXPECT_TRUE(trace.Block(1).joinsPrevious);
    EXPECT_FALSE(trace.Block(2).joinsPrevious);

    // One sample per 4 pixels: the gap of 8 MA has no line across it.
    const auto columns = DecimateTrace(trace, {10, 10 + 48 / 256.0}, 48);
    const auto afterGap = std::find_if(columns.begin(), columns.end(), [](const TraceColumn& c) { return c.x == 36; });
    ASSERT_NE(afterGap, columns.end());
    ASSERT_NE(afterGap, columns.begin());
    EXPECT_EQ((afterGap - 1)->x, 28);
    for (const TraceColumn& c : columns) EXPECT_EQ(c.joinsPrevious, c.x != 0 && c.x != 36) << c.x;
}

TEST(TimeLine, StatisticsAndTheNearestSampleAgreeWithACountOverTheSamples) {
    std::mt19937 random(7);
    const ChannelTrace trace = TraceOf(RandomBlocks(random, 120), random);
    const TimeRange all = *trace.Extent();
    std::uniform_real_distribution<double> at(all.left - 5, all.right + 5);
    for (int round = 0; round < 300; ++round) {
        OrbitTime from = at(random), to = at(random);
        if (from > to) std::swap(from, to);
        std::vector<float> inRange;
        std::optional<size_t> nearest;
        for (size_t i = 0; i < trace.SampleCount(); ++i) {
            const double d = std::abs(trace.Time(i) - from);
            if (!nearest || d < std::abs(trace.Time(*nearest) - from) ||
                (d == std::abs(trace.Time(*nearest) - from) && trace.Time(i) >= trace.Time(*nearest)))
                nearest = i;
            if (trace.Time(i) >= from && trace.Time(i) <= to) inRange.push_back(trace.Value(i));
        }
        const Summary s = trace.SummaryWithin(from, to);
        ASSERT_EQ(s.count, static_cast<int64_t>(inRange.size())) << round;
        if (!inRange.empty()) {
            const double n = static_cast<double>(inRange.size());
            double sum = 0, squares = 0;
            for (float v : inRange) sum += v;
            for (float v : inRange) squares += (v - sum / n) * (v - sum / n);
            EXPECT_EQ(s.min, *std::min_element(inRange.begin(), inRange.end()));
            EXPECT_EQ(s.max, *std::max_element(inRange.begin(), inRange.end()));
            EXPECT_NEAR(s.mean, sum / n, 1e-9);
            EXPECT_NEAR(s.StandardDeviation(), std::sqrt(squares / n), 1e-9);
        }
        const auto found = trace.Nearest(from);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->time, trace.Time(*nearest)) << round;
        EXPECT_EQ(trace.Block(found->block).file, trace.Block(trace.Sample(*nearest).block).file);
    }
}

TEST(TimeLine, SpreadOfValuesFarFromZero) {
    Summary s;
    for (float v : {100000.5f, 100001.5f, 100000.5f, 100001.5f}) s.Add(v);
    Summary half, other;
    half.Add(100000.5f);
    half.Add(100001.5f);
    other = half;
    half.Merge(other);
    EXPECT_DOUBLE_EQ(s.StandardDeviation(), 0.5);
    EXPECT_DOUBLE_EQ(half.StandardDeviation(), 0.5);
    EXPECT_DOUBLE_EQ(half.mean, 100001.0);
}

TEST(TimeLine, ZoomKeepsTheAnchorAndPanMovesByPixels) {
    const TimeRange view{100, 200};
    const TimeRange zoomed = ZoomedAround(view, 125, 4);
    EXPECT_DOUBLE_EQ(zoomed.Span(), 25);
    EXPECT_DOUBLE_EQ(PixelOf(zoomed, 125, 800), PixelOf(view, 125, 800));
    EXPECT_DOUBLE_EQ(WheelZoomFactor(240), 1.5625);
    EXPECT_DOUBLE_EQ(ZoomedAround(zoomed, 125, WheelZoomFactor(-480)).Span(), 25 * std::pow(1.25, 4));

    const TimeRange panned = PannedByPixels(view, 80, 800);  // dragged 80 pixels to the right
    EXPECT_DOUBLE_EQ(panned.left, 90);
    EXPECT_DOUBLE_EQ(panned.right, 190);
    EXPECT_EQ(BetweenPixels(view, 600, 200, 800), (TimeRange{125, 175}));

    // No view narrower than four MA, none that is no number, none beyond the farthest orbit.
    EXPECT_DOUBLE_EQ(ZoomedAround(view, 150, 1e9).Span(), kNarrowestSpan);
    EXPECT_EQ(Limited({NAN, NAN}), (TimeRange{-kNarrowestSpan / 2, kNarrowestSpan / 2}));
    EXPECT_DOUBLE_EQ(Limited({-INFINITY, INFINITY}).Span(), kWidestSpan);
    EXPECT_LE(ZoomedAround({1e13 - 1, 1e13}, 1e13, 1e-20).right, kFarthest);

    const auto values = ValuesBetweenRows({0, 100}, 75, 25, 100);
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, (ValueRange{25, 75}));
    EXPECT_FALSE(ValuesBetweenRows({0, 100}, 50, 51, 100));
}

// New samples move a view that shows all, and a followed view at the newest sample; no other.
TEST(TimeLine, NewSamplesMoveOnlyAViewThatShowsAllOrFollowsTheNewest) {
    const TimeRange old{100, 200}, grown{100, 250}, view{150, 200};
    struct Case {
        bool showingAll, following;
        std::optional<TimeRange> before, after;
        TimeRange view, expected;
    };
    const Case cases[] = {
        {true, false, old, grown, view, Showing(grown)},
        {true, true, std::nullopt, old, view, Showing(old)},
        {true, true, old, std::nullopt, view, view},        // nothing left to show
        {false, true, old, grown, view, {200, 250}},        // at the newest: moves on
        {false, true, old, grown, {150, 230}, {200, 280}},  // past it too
        {false, true, old, grown, {120, 190}, {120, 190}},  // short of it: stays
        {false, false, old, grown, view, view},             // Follow off
        {false, true, grown, old, view, view},              // samples went away
        {false, true, std::nullopt, grown, view, view},     // the first samples
    };
    for (const Case& c : cases)
        EXPECT_EQ(ViewAfterNewSamples(c.view, c.showingAll, c.following, c.before, c.after), c.expected)
            << c.showingAll << c.following << c.view.left;
}

TEST(TimeLine, TheBlocksGiveTheDaysOfTheAxis) {
    DateLine dates;
    dates.AddBlock(300, 301, 8766, 8766);
    dates.AddBlock(305, 306.5, 8766, 8767);  // over midnight
    dates.AddBlock(310, 311, 8767, 8767);
    dates.Finish();
    EXPECT_EQ(dates.AmDayAt(300.5), 8766);
    EXPECT_EQ(dates.AmDayAt(303), 8766);            // between two blocks of that day
    EXPECT_EQ(dates.AmDayAt(305.5), std::nullopt);  // within the block over midnight
    EXPECT_EQ(dates.AmDayAt(308), 8767);
    EXPECT_EQ(dates.AmDayAt(299), std::nullopt);
    EXPECT_EQ(dates.AmDayAt(312), std::nullopt);
    EXPECT_EQ(AmDayText(8766), "2002  Jan  01 [Tue]");

    // The first and last day of a view: at its ends where known, else the blocks' ends within it.
    const std::vector<std::tuple<TimeRange, std::optional<int32_t>, std::optional<int32_t>>> views = {
        {{299, 312}, 8766, 8767},
        {{303, 308}, 8766, 8767},
        {{305.2, 309}, 8767, 8767},
        {{305.5, 305.7}, {}, {}},
        {{320, 330}, {}, {}}};
    for (const auto& [view, first, last] : views) {
        EXPECT_EQ(dates.FirstAmDayWithin(view.left, view.right), first) << view.left;
        EXPECT_EQ(dates.LastAmDayWithin(view.left, view.right), last) << view.left;
    }

    // Whole orbits with their dates; MA within an orbit when the view is narrow.
    const auto wide = TimeMarks({299.5, 312.5}, 800, dates);
    ASSERT_EQ(wide.size(), 7u);
    EXPECT_EQ(wide[0].orbitText, "300");
    EXPECT_EQ(wide[0].dateText, "2002  Jan  01 [Tue]");
    EXPECT_EQ(wide[1].dateText, "2002  Jan  01 [Tue]");
    EXPECT_EQ(wide[3].dateText, "");  // 306, within the block over midnight
    EXPECT_EQ(wide[4].orbitText, "308");
    EXPECT_EQ(wide[4].dateText, "2002  Jan  02 [Wed]");
    const auto narrow = TimeMarks({300, 301}, 800, dates);
    ASSERT_EQ(narrow.size(), 9u);
    EXPECT_EQ(narrow[1].orbitText, "300/32");
    EXPECT_EQ(narrow[1].x, 100);
}

TEST(TimeLine, ValueAxesHaveRoundedLimits) {
    const ValueScale scale = RoundedScale(2.782, 17.61);
    EXPECT_EQ(scale.range, (ValueRange{0, 20}));
    ASSERT_EQ(scale.levels.size(), 5u);
    EXPECT_EQ(scale.levels[1].text, "5");
    const ValueScale fine = RoundedScale(0.51, 0.62);
    EXPECT_EQ(fine.levels.front().text, "0.50");
    EXPECT_EQ(fine.levels.back().text, "0.65");
    EXPECT_EQ(RoundedScale(0, 0).range, (ValueRange{-1, 1}));
    EXPECT_EQ(RoundedScale(12.5, 12.5).range, (ValueRange{0, 25}));
    EXPECT_EQ(RoundedScale(NAN, 3).range, (ValueRange{0, 1}));
}
