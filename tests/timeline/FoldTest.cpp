#include "timeline/Fold.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvarox::timeline {
namespace {

TEST(Fold, NearestRankPercentilesOfSmallSets) {
    // ceil(p/100 * k): of 1..20, p05 is rank 1, the median rank 10, p95 rank 19.
    std::map<float, int64_t> twenty;
    for (int v = 1; v <= 20; ++v) twenty[static_cast<float>(v)] = 1;
    EXPECT_EQ(NearestRank(twenty, 20, 5), 1.0f);
    EXPECT_EQ(NearestRank(twenty, 20, 50), 10.0f);
    EXPECT_EQ(NearestRank(twenty, 20, 95), 19.0f);
    // Counts: {3 x 2, 1 x 7}: ranks 1 to 3 are 2, rank 4 is 7.
    const std::map<float, int64_t> counted{{2.0f, 3}, {7.0f, 1}};
    EXPECT_EQ(NearestRank(counted, 4, 50), 2.0f);
    EXPECT_EQ(NearestRank(counted, 4, 95), 7.0f);
    EXPECT_EQ(NearestRank(counted, 4, 5), 2.0f);
    EXPECT_EQ(NearestRank({{5.0f, 1}}, 1, 95), 5.0f);
}

TEST(Fold, BinsAtBothEndsOfTheOrbitAndEmptyBinsLeftOut) {
    FoldStatistics fold(64);
    for (float v : {3.0f, 1.0f, 2.0f}) fold.Add(0, v);  // bin 0: MA 0 to 3
    fold.Add(3, 4.0f);
    fold.Add(255, -1.0f);  // the last bin, lower MA 252
    fold.Add(128, NAN);    // left out
    const std::vector<FoldBin> bins = fold.Bins();
    ASSERT_EQ(bins.size(), 2u);
    EXPECT_EQ(bins[0].lowerMA, 0.0);
    EXPECT_EQ(bins[0].samples, 4);
    EXPECT_EQ(bins[0].min, 1.0f);
    EXPECT_EQ(bins[0].median, 2.0f);
    EXPECT_EQ(bins[0].p95, 4.0f);
    EXPECT_EQ(bins[0].max, 4.0f);
    EXPECT_EQ(bins[1].lowerMA, 252.0);
    EXPECT_EQ(bins[1].samples, 1);
    EXPECT_EQ(FoldStatistics(3).Bins().size(), 0u);
    FoldStatistics thirds(3);  // bins of 85 1/3 MA: 85 lies in the first, 86 in the second
    thirds.Add(85, 1.0f);
    thirds.Add(86, 1.0f);
    ASSERT_EQ(thirds.Bins().size(), 2u);
    EXPECT_DOUBLE_EQ(thirds.Bins()[1].lowerMA, 256.0 / 3);
}

}  // namespace
}  // namespace kelvarox::timeline
