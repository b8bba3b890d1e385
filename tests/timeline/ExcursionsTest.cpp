#include "timeline/Excursions.h"

#include "ExcursionScan.h"

#include <gtest/gtest.h>

#include <random>

namespace kelvarox::timeline {
namespace {

std::vector<Excursion> Find(const std::vector<Block>& blocks) {
    std::vector<Excursion> found;
    ExcursionFinder finder([&](const Excursion& e) { found.push_back(e); });
    int n = 0;
    for (const Block& b : blocks) {
        finder.StartBlock(b.limits, "b" + std::to_string(n++), 4);
        for (size_t i = 0; i < b.values.size(); ++i) finder.Add(PlaceOf(b, i), b.values[i]);
    }
    finder.Finish();
    return found;
}

// "level side first..last samples peak" of each excursion.
std::vector<std::string> Describe(const std::vector<Excursion>& found) {
    std::vector<std::string> lines;
    for (const Excursion& e : found)
        lines.push_back(std::string(e.level == LimitLevel::Red ? "red " : "yellow ") +
                        (e.side == LimitSide::Low ? "low " : "high ") +
                        std::to_string((e.first.orbit * 256 + e.first.ma) / 4) + ".." +
                        std::to_string((e.last.orbit * 256 + e.last.ma) / 4) + " " + std::to_string(e.samples) + " " +
                        std::to_string(static_cast<int>(e.peak)) + " " + e.file);
    return lines;
}

TEST(Excursions, LevelsRunsAndPersistence) {
    ChannelLimits both{10.0, 20.0, 30.0, 40.0, 1};
    ChannelLimits highOnly{std::nullopt, std::nullopt, 30.0, std::nullopt, 2};
    ChannelLimits lower{std::nullopt, std::nullopt, 20.0, std::nullopt, 1};
    ChannelLimits redOnly{std::nullopt, std::nullopt, std::nullopt, 40.0, 1};
    const float nan = NAN;
    const struct {
        const char* what;
        std::vector<Block> blocks;
        std::vector<std::string> expected;
    } cases[] = {
        {"a value equal to each limit is at that limit's level",
         {{&both, 0, {10, 20, 25, 30, 40, 25}}},
         {"yellow low 0..1 2 10 b0", "red low 0..0 1 10 b0", "yellow high 3..4 2 40 b0", "red high 4..4 1 40 b0"}},
        {"a run one sample short of the persistence does not count; one exactly long does",
         {{&highOnly, 0, {31, 25, 31, 32, 25}}},
         {"yellow high 2..3 2 32 b0"}},
        {"a red excursion lies inside a yellow one, and a red-only limit makes both",
         {{&redOnly, 0, {50, 45, 20}}},
         {"yellow high 0..1 2 50 b0", "red high 0..1 2 50 b0"}},
        {"a value that is not finite ends a run and is no breach",
         {{&both, 0, {35, nan, 36, 25}}},
         {"yellow high 0..0 1 35 b0", "yellow high 2..2 1 36 b0"}},
        {"a joined block continues the run; the run keeps its first file",
         {{&both, 0, {25, 35}}, {&both, 8, {36}}, {&both, 16, {25}}},
         {"yellow high 1..2 2 36 b0"}},
        {"limits that change between joined blocks apply to each block's samples",
         {{&both, 0, {25}}, {&lower, 4, {25}}},
         {"yellow high 1..1 1 25 b1"}},
        {"a block without limits ends the runs",
         {{&both, 0, {35}}, {nullptr, 4, {35}}, {&both, 8, {35}}},
         {"yellow high 0..0 1 35 b0", "yellow high 2..2 1 35 b2"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Describe(Find(c.blocks)), c.expected) << c.what;
}

TEST(Excursions, ABreakBetweenBlocksEndsTheRun) {
    ChannelLimits limits{std::nullopt, std::nullopt, 30.0, std::nullopt, 2};
    const auto run = [&](int32_t secondMA) {
        std::vector<Excursion> found;
        ExcursionFinder finder([&](const Excursion& e) { found.push_back(e); });
        finder.StartBlock(&limits, "a", 4);
        finder.Add({7, 100}, 31);
        finder.StartBlock(&limits, "b", 4);
        finder.Add({7, secondMA}, 32);
        finder.Finish();
        return found;
    };
    ASSERT_EQ(run(104).size(), 1u);  // one MA step on: joined
    EXPECT_EQ(run(104)[0].last, (SamplePlace{7, 104}));
    EXPECT_TRUE(run(105).empty());  // a step and one more: a break, two runs of one sample
    EXPECT_TRUE(run(99).empty());   // back in time: a break too
}

TEST(Excursions, EqualABruteForceScanOfRandomTimeLines) {
    std::mt19937 random(20261207);
    const ChannelLimits limits[] = {{10.0, 20.0, 30.0, 40.0, 1},
                                    {std::nullopt, 15.0, 35.0, std::nullopt, 3},
                                    {5.0, std::nullopt, std::nullopt, 45.0, 2}};
    for (int round = 0; round < 300; ++round) {
        std::vector<Block> blocks;
        int64_t position = 0;
        const int count = 1 + static_cast<int>(random() % 6);
        for (int b = 0; b < count; ++b) {
            Block block{random() % 5 == 0 ? nullptr : &limits[random() % 3], position, {}};
            const int samples = static_cast<int>(random() % 40);
            for (int i = 0; i < samples; ++i)
                block.values.push_back(random() % 30 == 0 ? NAN : static_cast<float>(random() % 50));
            // The next block joins (one step after the last sample, or on it) or leaves a break
            // (a step and more, or back in time).
            const int64_t next[] = {4, 0, 5, 300, -8};
            position = std::max(position, position + samples * 4 + next[random() % 5] - (samples > 0 ? 4 : 0));
            blocks.push_back(std::move(block));
        }
        ASSERT_EQ(Describe(Find(blocks)), Describe(BruteForce(blocks))) << "round " << round;
        ExcursionFinder finder([](const Excursion&) {});
        for (const Block& b : blocks) {
            finder.StartBlock(b.limits, "b", 4);
            for (size_t i = 0; i < b.values.size(); ++i) finder.Add(PlaceOf(b, i), b.values[i]);
        }
        ASSERT_EQ(finder.WorstSoFar(), WorstLevel(BruteForce(blocks))) << "round " << round;
    }
}

}  // namespace
}  // namespace kelvarox::timeline

namespace kelvarox::timeline {
namespace {

TEST(Excursions, OfATraceUnderTheLimitsOfEachBlocksDate) {
    ChannelTrace trace(0x140, "Temp - SEU", "Deg.C");
    trace.AddBlock("a.dat", 8766, 8766, 64);
    for (int i = 0; i < 4; ++i) trace.AddSample(10 + i / 4.0, 10.0f * static_cast<float>(i), 0);
    trace.AddBlock("b.dat", 8770, 8770, 64);
    trace.AddSample(11, 35, 0);
    trace.AddSample(11.25, 45, 0);
    trace.Finish();
    ChannelLimits first, later;
    first.yellowHigh = 15;
    first.redHigh = 25;
    later.yellowHigh = 30;
    later.redHigh = 40;
    later.persistence = 2;
    const SatelliteDefinition satellite(
        "Example-1", {{0x140, std::nullopt, {}, {}, {}, first}, {0x140, 8770, {}, {}, {}, later}}, {});
    const std::vector<Excursion> found = ExcursionsOf(trace, satellite);
    // The blocks join (one MA step apart), but the red run of b.dat is one sample short.
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].first, (SamplePlace{10, 128}));
    EXPECT_EQ(found[0].last, (SamplePlace{11, 64}));
    EXPECT_EQ(found[0].samples, 4);
    EXPECT_EQ(found[0].peak, 45.0f);
    EXPECT_EQ(found[1].level, LimitLevel::Red);
    EXPECT_EQ(found[1].samples, 1);
    EXPECT_EQ(WorstLevel(found), LimitLevel::Red);
    EXPECT_EQ(WorstLevel(ExcursionsOf(trace, SatelliteDefinition())), LimitLevel::Within);
}

}  // namespace
}  // namespace kelvarox::timeline
