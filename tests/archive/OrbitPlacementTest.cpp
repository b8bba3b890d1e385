#include "archive/OrbitPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Satellite.h"

using namespace kelvarox::archive;
using namespace kelvarox::testing;

namespace {

std::vector<PlacementInput> Inputs(const std::vector<TruePass>& passes) {
    std::vector<PlacementInput> inputs;
    for (size_t i = 0; i < passes.size(); ++i)
        inputs.push_back({passes[i].amDay, static_cast<int32_t>(passes[i].orbit % 256), passes[i].ma, std::nullopt,
                          static_cast<int64_t>(i)});
    return inputs;
}

}  // namespace

// A hundred days of blocks, two to six a day in any order, passing 255 five times, the first day
// among them: every block gets its true orbit, and every placement is sure.
TEST(OrbitPlacement, LongSequenceFindsTheTrueOrbits) {
    std::mt19937 random(7);
    const Satellite satellite{14.3, 3 * 256 + 245, 8766};
    std::vector<TruePass> passes;
    for (int day = 0; day < 100; ++day) {
        const auto some = satellite.Blocks(day, day + 1, 2 + day % 5, random);
        passes.insert(passes.end(), some.begin(), some.end());
    }
    ASSERT_GT(passes.back().orbit - passes.front().orbit, 5 * 256);
    std::shuffle(passes.begin(), passes.end(), random);

    const auto placed = PlaceOrbits(Inputs(passes), std::nullopt, 3);
    // The earliest block takes the Orbit HiByte given; it may lie on either side of 3 x 256 + 255.
    const int64_t earliest = std::min_element(passes.begin(), passes.end(), [](auto& a, auto& b) {
                                 return a.orbit < b.orbit;
                             })->orbit;
    const int64_t shift = earliest - (3 * 256 + earliest % 256);
    for (size_t i = 0; i < passes.size(); ++i) {
        EXPECT_EQ(placed[i].startOrbit + shift, passes[i].orbit) << "block " << i << " of day " << passes[i].amDay;
        EXPECT_TRUE(placed[i].sure) << i;
    }
}

// Gaps: up to fourteen days the dates still decide; after a longer one the first block is
// flagged, the rest follow it, and pinning that block to its true orbit puts them all right.
TEST(OrbitPlacement, GapsAndSetOrbit) {
    std::mt19937 random(11);
    const Satellite satellite{12.6, 1000, 8766};
    auto passes = satellite.Blocks(0, 5, 3, random);
    const auto afterShortGap = satellite.Blocks(19, 22, 3, random);  // 14 days without blocks
    const auto afterLongGap = satellite.Blocks(45, 50, 3, random);   // 23 days without blocks
    passes.insert(passes.end(), afterShortGap.begin(), afterShortGap.end());
    const size_t longGapAt = passes.size();
    passes.insert(passes.end(), afterLongGap.begin(), afterLongGap.end());
    const auto inputs = Inputs(passes);
    const int64_t hiByte = 1000 / 256;

    const auto placed = PlaceOrbits(inputs, std::nullopt, hiByte);
    const size_t firstAfterGap = longGapAt + static_cast<size_t>(std::min_element(afterLongGap.begin(), afterLongGap.end(),
        [](auto& a, auto& b) { return a.orbit < b.orbit; }) - afterLongGap.begin());
    for (size_t i = 0; i < passes.size(); ++i) {
        if (i < longGapAt) {
            EXPECT_EQ(placed[i].startOrbit, passes[i].orbit) << i;
        }
        EXPECT_EQ(placed[i].sure, i != firstAfterGap) << i;
    }
    EXPECT_EQ(placed[firstAfterGap].gapDays, 24);

    auto pinned = inputs;
    pinned[firstAfterGap].pinnedOrbit = passes[firstAfterGap].orbit;
    const auto fixed = PlaceOrbits(pinned, std::nullopt, hiByte);
    for (size_t i = 0; i < passes.size(); ++i) {
        EXPECT_EQ(fixed[i].startOrbit, passes[i].orbit) << i;
        EXPECT_TRUE(fixed[i].sure) << i;
    }
}

// Placing the days from one day on, from the anchor the earlier days leave, gives what placing
// everything gives: the archive re-places only the blocks after an added one.
TEST(OrbitPlacement, FromAnAnchorAsFromTheStart) {
    std::mt19937 random(3);
    const Satellite satellite{15.9, 7 * 256 + 100, 8766};
    const auto passes = satellite.Blocks(0, 40, 4, random);
    const auto inputs = Inputs(passes);
    const auto all = PlaceOrbits(inputs, std::nullopt, 7);

    const int32_t from = 8766 + 23;
    PlacementAnchor anchor{0, INT64_MIN};
    std::vector<PlacementInput> later;
    std::vector<size_t> laterIndex;
    for (size_t i = 0; i < inputs.size(); ++i) {
        if (inputs[i].startAmDay >= from) {
            later.push_back(inputs[i]);
            laterIndex.push_back(i);
        } else if (inputs[i].startAmDay > anchor.amDay || (inputs[i].startAmDay == anchor.amDay && all[i].startOrbit > anchor.orbit)) {
            anchor = {inputs[i].startAmDay, all[i].startOrbit};
        }
    }
    const auto part = PlaceOrbits(later, anchor, 0);
    for (size_t n = 0; n < later.size(); ++n) {
        EXPECT_EQ(part[n].startOrbit, all[laterIndex[n]].startOrbit);
        EXPECT_EQ(part[n].startOrbit, passes[laterIndex[n]].orbit);
    }
}
