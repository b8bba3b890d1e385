#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ErrorOf.h"
#include "core/Errors.h"
#include "core/FixedText.h"
#include "core/SampleSeries.h"
#include "core/WodBlock.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

WodBlock BlockWithSamples(const std::vector<uint8_t>& samples) {
    WodBlock block;
    for (size_t i = 0; i < samples.size(); ++i) block.bytes[kFirstSampleOffset + i] = samples[i];
    return block;
}

BlockHeader Header(int32_t lastIndex, int32_t step = 4, int32_t firstMA = 0, int32_t startOrbit = 100,
                   int32_t endOrbit = 101, int32_t startMA = 0) {
    BlockHeader h;
    h.lastSampleIndex = lastIndex;
    h.maStep = step;
    h.firstMA = firstMA;
    h.startOrbit = startOrbit;
    h.endOrbit = endOrbit;
    h.startMA = startMA;
    return h;
}

std::string Labels(const std::vector<MATick>& ticks) {
    std::string s;
    for (const auto& t : ticks) s += "[" + std::to_string(t.index) + ":" + t.label + "]";
    return s;
}

}  // namespace

TEST(SampleSeries, UpdateCoefficientsInOrderAndKeepsEmptyOnes) {
    Coefficients k{1.0f, 2.0f, 3.0f, 4.0f};
    UpdateCoefficients(k, "", "0.5", "", "-1");
    EXPECT_EQ(k.a, 1.0f);
    EXPECT_EQ(k.b, 0.5f);
    EXPECT_EQ(k.c, 3.0f);
    EXPECT_EQ(k.d, -1.0f);
    EXPECT_EQ(ErrorOf([&] { UpdateCoefficients(k, "7", "8", "x9", "10"); }),
              "'x9' is not a valid floating point value");
    // The ones before the bad text changed, it and those after it did not.
    EXPECT_EQ(k.a, 7.0f);
    EXPECT_EQ(k.b, 8.0f);
    EXPECT_EQ(k.c, 3.0f);
    EXPECT_EQ(k.d, -1.0f);
}

TEST(SampleSeries, TranslationAndExtremes) {
    const WodBlock block = BlockWithSamples({0, 127, 128, 255, 255});
    const auto identity = BuildSeries(block, Header(4), Coefficients{0, 0, 1, 0});
    ASSERT_EQ(identity.count, 5);
    EXPECT_EQ(identity.sampleValue[1], 127.0f);
    EXPECT_EQ(identity.sampleValue[3], 255.0f);
    EXPECT_EQ(identity.dataMax, 255.0f);
    EXPECT_EQ(identity.dataMin, 0.0f);

    const auto cube = BuildSeries(block, Header(4), Coefficients{1, 0, 0, 0});
    EXPECT_EQ(cube.sampleValue[3], 16581375.0f);
    EXPECT_EQ(BuildSeries(block, Header(0), Coefficients{5, 6, 7, -3.5f}).sampleValue[0], -3.5f);

    // The starting extremes stay in force.
    const auto high = BuildSeries(block, Header(4), Coefficients{0, 0, 0, 1250});
    EXPECT_EQ(high.dataMax, 1250.0f);
    EXPECT_EQ(high.dataMin, 1000.0f);
    const auto none = BuildSeries(block, Header(-1), Coefficients{0, 0, 1, 0});
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.dataMax, -1000.0f);
    EXPECT_EQ(none.dataMin, 1000.0f);

    // A huge coefficient gives infinite values, not an error.
    const auto huge = BuildSeries(block, Header(4), Coefficients{1e38f, 0, 0, 0});
    EXPECT_EQ(huge.sampleValue[0], 0.0f);
    EXPECT_EQ(huge.sampleValue[3], std::numeric_limits<float>::infinity());
    EXPECT_EQ(ValueText(huge.sampleValue[3]), "INF");
    EXPECT_EQ(BuildSeries(block, Header(4), Coefficients{-3e38f, 0, 0, 0}).sampleValue[1],
              -std::numeric_limits<float>::infinity());
    EXPECT_EQ(RoundToFloat(1e39), std::numeric_limits<float>::infinity());
    EXPECT_EQ(RoundToFloat(-1e300), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(RoundToFloat(0.1), 0.1f);
    // Beyond the largest float only the halfway point to 2^128 and above round to infinity.
    constexpr float kLargest = std::numeric_limits<float>::max();
    EXPECT_EQ(RoundToFloat(3.4028235e38 + 1e30), kLargest);
    EXPECT_EQ(RoundToFloat(-std::nextafter(0x1.ffffffp127, 0.0)), -kLargest);
    EXPECT_EQ(RoundToFloat(0x1.ffffffp127), std::numeric_limits<float>::infinity());
    EXPECT_EQ(TranslateSample(Coefficients{0, 0, 1e28f, kLargest}, 100), kLargest);

    // At most 384 samples, whatever the header says.
    std::vector<uint8_t> many(448, 9);
    EXPECT_EQ(BuildSeries(BlockWithSamples(many), Header(2000), Coefficients{0, 0, 1, 0}).count, 384);
}

TEST(SampleSeries, ValueAxisRoundsOutwardToMultiplesOfFour) {
    auto check = [](float max, float min, float axisMax, float axisMin) {
        const ValueAxis a = ScaleValueAxis(max, min);
        EXPECT_EQ(a.axisMax, axisMax) << max << " " << min;
        EXPECT_EQ(a.axisMin, axisMin) << max << " " << min;
        EXPECT_EQ(a.axisRange, axisMax - axisMin);
    };
    check(13.2f, 2.7f, 16, 0);
    check(-1.5f, -6.2f, 0, -8);
    check(5.0f, 5.0f, 8, 4);
    check(-3.0f, -5.0f, 0, -8);
    check(-1000.0f, 1000.0f, -1000, 1000);  // no samples
    check(16777218.0f, 0.0f, 16777220.0f, 0);
    // A range of 0 is widened by 4 on each side.
    check(0.0f, 0.0f, 4, -4);
    check(16.0f, 16.0f, 20, 12);

    const ValueAxis a = ScaleValueAxis(13.2f, 2.7f);
    EXPECT_EQ(a.Level(0), 0.0f);
    EXPECT_EQ(a.Level(1), 4.0f);
    EXPECT_EQ(a.Level(2), 8.0f);
    EXPECT_EQ(a.Level(3), 12.0f);
    EXPECT_EQ(a.Level(4), 16.0f);
    const ValueAxis empty = ScaleValueAxis(-1000.0f, 1000.0f);
    EXPECT_EQ(ValueText(empty.Level(4)), "-1000.0");
    EXPECT_EQ(ValueText(empty.Level(3)), "-500.0");
    EXPECT_EQ(ValueText(empty.Level(2)), "0.0");
    EXPECT_EQ(ValueText(empty.Level(1)), "500.0");
    EXPECT_EQ(ValueText(empty.Level(0)), "1000.0");

    // Infinite extremes end at once and show as INF.
    const float inf = std::numeric_limits<float>::infinity();
    const ValueAxis wild = ScaleValueAxis(inf, -inf);
    EXPECT_EQ(ValueText(wild.Level(4)), "INF");
    EXPECT_EQ(ValueText(wild.Level(0)), "-INF");
    const ValueAxis huge = ScaleValueAxis(3.4e38f, -3.4e38f);
    EXPECT_EQ(huge.axisMax, 3.4e38f);
}

TEST(SampleSeries, PositionsOnTheOrbitAxis) {
    // startOrbit 100, startMA 250, step 4, firstMA 252.
    const BlockHeader h = Header(3, 4, 252, 100, 101, 250);
    EXPECT_EQ(SampleMA(h, 0), 252);
    EXPECT_EQ(SampleMA(h, 1), 0);
    EXPECT_EQ(SampleMA(h, 2), 4);
    EXPECT_EQ(SampleMA(h, 3), 8);
    EXPECT_EQ(SamplePosition(h, 0), (OrbitMA{100, 252}));
    EXPECT_EQ(SamplePosition(h, 1), (OrbitMA{101, 0}));
    EXPECT_EQ(SamplePosition(h, 3), (OrbitMA{101, 8}));
    RowPosition rows(h);
    EXPECT_EQ(rows.Next(), (OrbitMA{100, 250}));
    EXPECT_EQ(rows.Next(), (OrbitMA{100, 254}));
    EXPECT_EQ(rows.Next(), (OrbitMA{101, 2}));
    EXPECT_EQ(rows.Next(), (OrbitMA{101, 6}));

    // Several orbits: the table wraps once per orbit, the read-out by whole orbits.
    const BlockHeader multi = Header(383, 3, 0, 7, 11, 0);
    RowPosition longRows(multi);
    OrbitMA last;
    for (int i = 0; i <= 383; ++i) last = longRows.Next();
    EXPECT_EQ(last, (OrbitMA{11, 125}));  // 383 * 3 = 1149 = 4 * 256 + 125
    EXPECT_EQ(SamplePosition(multi, 383), (OrbitMA{11, 125}));
}

TEST(SampleSeries, MarksOfTheOrbitAxisByOrbitSpan) {
    // Step 32 over one orbit: marks at 0, 128, 64, 192, 32, 96, 160 and 224 in pass order.
    const BlockHeader one = Header(8, 32, 0, 100, 101);
    EXPECT_EQ(Labels(SelectMATicks(one)), "[0:0][8:0][4:128][2: 64][6:192][1: 32][3: 96][5:160][7:224]");
    EXPECT_EQ(Labels(SelectMATicks(Header(8, 32, 0, 100, 107))), "[0:0][8:0][4:128]");
    EXPECT_EQ(Labels(SelectMATicks(Header(8, 32, 0, 100, 108))), "[0:0][8:0]");
    EXPECT_EQ(Labels(SelectMATicks(Header(8, 32, 0, 100, 105))), "[0:0][8:0][4:128][2: 64][6:192]");
    // Step 3 from 0: MA 0 recurs only at sample 256.
    EXPECT_EQ(Labels(SelectMATicks(Header(255, 3, 0, 100, 110))), "[0:0]");
    EXPECT_TRUE(SelectMATicks(Header(-1, 4, 0, 100, 101)).empty());
}
