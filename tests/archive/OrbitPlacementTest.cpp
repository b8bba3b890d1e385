#include "archive/OrbitPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "Satellite.h"

using namespace kelvarox::archive;
using namespace kelvarox::testing;

namespace {

// Places the blocks of `passes` as the archive does: by pass (AmDay and orbit byte), day by
// day in the order of the sequence. result[i] belongs to passes[i].
std::vector<PlacedOrbit> Place(const std::vector<TruePass>& passes, int64_t hiByte,
                               const std::map<size_t, int64_t>& pinned = {},
                               const std::optional<PlacementAnchor>& anchor = std::nullopt) {
    std::map<int32_t, std::map<int32_t, OrbitPass>> days;
    for (size_t i = 0; i < passes.size(); ++i) {
        const int32_t byte = static_cast<int32_t>(passes[i].orbit % 256);
        OrbitPass& pass = days[passes[i].amDay][byte];
        pass = {passes[i].amDay, byte, pass.pinnedOrbit};
        if (pinned.count(i)) pass.pinnedOrbit = pinned.at(i);
    }
    OrbitSequence sequence(anchor, hiByte);
    std::map<std::pair<int32_t, int32_t>, PlacedOrbit> placed;
    std::vector<OrbitPass> order;
    auto take = [&] {
        while (const auto p = sequence.Take()) {
            placed[{order.front().amDay, order.front().orbitByte}] = *p;
            order.erase(order.begin());
        }
    };
    for (const auto& [day, bytes] : days) {
        std::vector<OrbitPass> ordered;
        for (const auto& [byte, pass] : bytes) ordered.push_back(pass);
        std::rotate(ordered.begin(), ordered.begin() + static_cast<std::ptrdiff_t>(DayStart(ordered)), ordered.end());
        for (const auto& pass : ordered) {
            sequence.Add(pass);
            order.push_back(pass);
        }
        take();
    }
    sequence.Finish();
    take();
    std::vector<PlacedOrbit> result;
    for (const auto& p : passes) result.push_back(placed.at({p.amDay, static_cast<int32_t>(p.orbit % 256)}));
    return result;
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

    const auto placed = Place(passes, 3);
    // The earliest block takes the Orbit HiByte given; it may lie on either side of 3 x 256 + 255.
    const int64_t earliest =
        std::min_element(passes.begin(), passes.end(), [](auto& a, auto& b) { return a.orbit < b.orbit; })->orbit;
    const int64_t shift = earliest - (3 * 256 + earliest % 256);
    for (size_t i = 0; i < passes.size(); ++i) {
        EXPECT_EQ(placed[i].startOrbit + shift, passes[i].orbit) << "block " << i << " of day " << passes[i].amDay;
        EXPECT_TRUE(placed[i].sure) << i;
        EXPECT_FALSE(placed[i].outlier) << i;
    }
}

// Gaps: up to fourteen days the dates still decide; after a longer one the first pass is
// flagged, the rest follow it, and pinning that pass to its true orbit puts them all right.
TEST(OrbitPlacement, GapsAndSetOrbit) {
    std::mt19937 random(11);
    const Satellite satellite{12.6, 1000, 8766};
    auto passes = satellite.Blocks(0, 5, 3, random);
    const auto afterShortGap = satellite.Blocks(19, 22, 3, random);  // 14 days without blocks
    const auto afterLongGap = satellite.Blocks(45, 50, 3, random);   // 23 days without blocks
    passes.insert(passes.end(), afterShortGap.begin(), afterShortGap.end());
    const size_t longGapAt = passes.size();
    passes.insert(passes.end(), afterLongGap.begin(), afterLongGap.end());
    const int64_t hiByte = 1000 / 256;

    const auto placed = Place(passes, hiByte);
    const size_t firstAfterGap =
        longGapAt + static_cast<size_t>(std::min_element(afterLongGap.begin(), afterLongGap.end(),
                                                         [](auto& a, auto& b) { return a.orbit < b.orbit; }) -
                                        afterLongGap.begin());
    for (size_t i = 0; i < passes.size(); ++i) {
        if (i < longGapAt) {
            EXPECT_EQ(placed[i].startOrbit, passes[i].orbit) << i;
        }
        EXPECT_EQ(placed[i].sure, passes[i].orbit != passes[firstAfterGap].orbit) << i;
        EXPECT_FALSE(placed[i].outlier) << i;
    }
    EXPECT_EQ(placed[firstAfterGap].gapDays, 24);

    const auto fixed = Place(passes, hiByte, {{firstAfterGap, passes[firstAfterGap].orbit}});
    for (size_t i = 0; i < passes.size(); ++i) {
        EXPECT_EQ(fixed[i].startOrbit, passes[i].orbit) << i;
        EXPECT_TRUE(fixed[i].sure) << i;
    }
}

// What is no outlier: a sequence that breaks (a second satellite that takes over, every pass
// disagreeing with those before it) goes on from the break, and blocks a month apart from each
// other follow one another, not sure.
TEST(OrbitPlacement, BreaksAndSparseBlocksAreNoOutliers) {
    std::mt19937 random(5);
    const Satellite first{14.3, 2000, 8766}, second{13.1, 2000 + 100, 8766 + 20};
    auto passes = first.Blocks(0, 20, 4, random);
    const size_t breakAt = passes.size();
    const auto later = second.Blocks(0, 20, 4, random);
    passes.insert(passes.end(), later.begin(), later.end());
    const auto placed = Place(passes, 2000 / 256);
    for (size_t i = 0; i < passes.size(); ++i) {
        EXPECT_FALSE(placed[i].outlier) << i;
        // After the break the second satellite's orbits follow each other.
        const int64_t shift = i < breakAt ? 0 : placed[breakAt].startOrbit - passes[breakAt].orbit;
        EXPECT_EQ(placed[i].startOrbit, passes[i].orbit + shift) << i;
    }
    EXPECT_FALSE(placed[breakAt].sure);

    std::vector<TruePass> sparse;
    for (int n = 0; n < 6; ++n) sparse.push_back(first.At(n * 40.3));
    const auto apart = Place(sparse, 2000 / 256);
    for (size_t i = 0; i < sparse.size(); ++i) {
        EXPECT_FALSE(apart[i].outlier) << i;
        EXPECT_EQ(apart[i].sure, i == 0) << i;
    }
}

// Placing from an anchor, where the days before it left the sequence, gives what placing
// everything gives: the archive places again only from a little before an added block.
TEST(OrbitPlacement, FromAnAnchorAsFromTheStart) {
    std::mt19937 random(3);
    const Satellite satellite{15.9, 7 * 256 + 100, 8766};
    const auto passes = satellite.Blocks(0, 40, 4, random);
    const auto all = Place(passes, 7);

    const int32_t from = 8766 + 23;
    std::optional<PlacementAnchor> anchor;
    std::vector<TruePass> later;
    std::vector<size_t> laterIndex;
    for (size_t i = 0; i < passes.size(); ++i) {
        if (passes[i].amDay >= from) {
            later.push_back(passes[i]);
            laterIndex.push_back(i);
        } else if (!anchor || std::pair(passes[i].amDay, all[i].startOrbit) > std::pair(anchor->amDay, anchor->orbit)) {
            anchor = PlacementAnchor{passes[i].amDay, all[i].startOrbit};
        }
    }
    const auto part = Place(later, 0, {}, anchor);
    for (size_t n = 0; n < later.size(); ++n) {
        EXPECT_EQ(part[n].startOrbit, all[laterIndex[n]].startOrbit);
        EXPECT_EQ(part[n].startOrbit, passes[laterIndex[n]].orbit);
    }
}
