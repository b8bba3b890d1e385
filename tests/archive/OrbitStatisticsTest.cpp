// The per-orbit statistics the archive keeps, against the statistics of the samples themselves,
// on both engines: after imports in any order and with duplicates, blocks placed anew, an orbit
// set by hand, and a satellite file whose equations change.
#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>

#include "ArchiveBackends.h"
#include "archive/Archive.h"
#include "archive/DatedSamples.h"

using namespace kelvarox;
using namespace kelvarox::archive;
using namespace kelvarox::testing;

namespace {

constexpr int32_t kChannels[] = {0x140, 0x106};

class OrbitStatisticsTest : public ::testing::TestWithParam<Backend> {
protected:
    TempDir dir;
    std::string location = FreshArchive(GetParam(), dir);
    std::vector<IncomingBlock> blocks;

    // Blocks of two channels, eight a day for four days; blocks of one channel that span the
    // same orbits share them.
    void MakeBlocks() {
        std::mt19937 random(11);
        const Satellite satellite{14.3, 3 * 256 + 40, 8800};
        const auto passes = satellite.Blocks(0, 4, 8, random);
        for (size_t i = 0; i < passes.size(); ++i) {
            const auto path = dir / ("b" + std::to_string(i) + ".dat");
            WriteBytes(path, PassBlock(passes[i], i % 3 ? "0140" : "0106", 40 + static_cast<int>(i % 4) * 50,
                                       static_cast<int>(i)));
            blocks.push_back(*ReadBlockForArchive(path.string(), {}).block);
        }
        // Another capture of the first pass with other samples: two blocks with one start.
        WriteBytes(dir / "again.dat", PassBlock(passes[0], "0106", 40, 1000));
        blocks.push_back(*ReadBlockForArchive((dir / "again.dat").string(), {}).block);
    }

    void Store(std::span<const IncomingBlock> some, int64_t hiByte, bool replace, size_t batch,
               const SatelliteDefinition& satellite = BuiltInSatellite()) {
        Archive archive(location, Archive::Access::Write);
        archive.UseSatellite(satellite);
        Importer importer(archive, hiByte, replace, batch);
        for (const auto& b : some) importer.Add(b);
        importer.Finish();
    }

    // The statistics read with `satellite` are those of the samples translated with it, and the
    // stored ones hold no row that differs; returns how many stored rows are stale for it.
    int64_t ExpectStatisticsOfTheSamples(const SatelliteDefinition& satellite, const std::string& step) {
        Archive archive(location, Archive::Access::Read);
        int64_t sharedOrbits = 0;
        for (const int32_t channel : kChannels) {
            std::map<int64_t, OrbitStatistics> expected;
            std::map<int64_t, std::set<int64_t>> blocksOf;
            DatedTranslation translation(satellite, channel);
            ForEachDatedSample(archive, channel, {}, translation, [&](const SeriesSample& s, const ArchivedBlock& b) {
                blocksOf[s.orbit].insert(b.id);
                if (!std::isfinite(s.value)) return;
                expected[s.orbit].orbit = s.orbit;
                expected[s.orbit].Add(s.value);
            });
            for (const auto& [orbit, ids] : blocksOf) sharedOrbits += ids.size() > 1;
            std::vector<OrbitStatistics> read;
            archive.ForEachOrbitStatistics(channel, {}, satellite,
                                           [&](const OrbitStatistics& o) { read.push_back(o); });
            std::vector<OrbitStatistics> wanted;
            for (const auto& [orbit, o] : expected) wanted.push_back(o);
            EXPECT_EQ(read, wanted) << step << ", channel " << channel;
            // A range reads the same rows.
            const OrbitRange middle{wanted[wanted.size() / 3].orbit, wanted[wanted.size() / 2].orbit};
            std::vector<OrbitStatistics> ranged;
            archive.ForEachOrbitStatistics(channel, middle, satellite,
                                           [&](const OrbitStatistics& o) { ranged.push_back(o); });
            EXPECT_EQ(ranged, std::vector(wanted.begin() + wanted.size() / 3, wanted.begin() + wanted.size() / 2 + 1))
                << step;
        }
        EXPECT_GT(sharedOrbits, 0) << step << ": no orbit whose samples come from two blocks";
        std::vector<std::pair<int32_t, int64_t>> differing;
        const auto check = archive.CheckStatistics(
            satellite, [&](int32_t channel, int64_t orbit) { differing.emplace_back(channel, orbit); });
        EXPECT_TRUE(differing.empty()) << step << ": " << differing.size() << " rows differ";
        EXPECT_GT(check.rows, 0) << step;
        return check.stale;
    }
};

}  // namespace

TEST_P(OrbitStatisticsTest, KeptAsTheSamplesGiveThemThroughImportsPlacementsAndSetOrbit) {
    MakeBlocks();
    std::mt19937 random(3);
    std::vector<IncomingBlock> shuffled = blocks;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    const std::span all(shuffled);
    // Part of them in small batches, then all of them again with duplicates, then everything
    // placed anew with another Orbit HiByte, then one block's orbit set by hand.
    Store(all.first(all.size() / 2), 3, false, 7);
    EXPECT_EQ(ExpectStatisticsOfTheSamples(BuiltInSatellite(), "half"), 0);
    std::vector<IncomingBlock> twice(shuffled.begin(), shuffled.end());
    twice.insert(twice.end(), shuffled.begin(), shuffled.begin() + 10);
    Store(twice, 3, false, 13);
    EXPECT_EQ(ExpectStatisticsOfTheSamples(BuiltInSatellite(), "all"), 0);
    Store({}, 5, true, 100);
    EXPECT_EQ(ExpectStatisticsOfTheSamples(BuiltInSatellite(), "placed anew"), 0);
    {
        Archive archive(location, Archive::Access::Write);
        ArchivedBlock first;
        archive.ForEachBlock(0x140, {}, false, [&](const ArchivedBlock& b, std::span<const uint8_t>) {
            if (first.id == 0) first = b;
        });
        archive.SetOrbit(first.sha256, first.startOrbit + 256);
    }
    EXPECT_EQ(ExpectStatisticsOfTheSamples(BuiltInSatellite(), "set-orbit"), 0);
}

// Equations that change at a date: readers with the new satellite file compute the rows it makes
// stale, and the next writer with it stores them anew.
TEST_P(OrbitStatisticsTest, AChangedSatelliteFileRebuildsWhatItChanges) {
    MakeBlocks();
    Store(blocks, 3, false, 1000);
    ChannelEntry recalibrated;
    recalibrated.channel = 0x140;
    recalibrated.fromAmDay = 8802;
    recalibrated.equation = Coefficients{0, 0.01f, -2.5f, 7};
    const SatelliteDefinition changed("test", {recalibrated}, {});

    const int64_t stale = ExpectStatisticsOfTheSamples(changed, "read with the changed file");
    EXPECT_GT(stale, 0);
    Store({}, 3, false, 1000, changed);
    EXPECT_EQ(ExpectStatisticsOfTheSamples(changed, "written with the changed file"), 0);
    EXPECT_EQ(ExpectStatisticsOfTheSamples(BuiltInSatellite(), "read with the old one"), stale);
    Store({}, 3, false, 1000);
    EXPECT_EQ(ExpectStatisticsOfTheSamples(BuiltInSatellite(), "written with the old one"), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, OrbitStatisticsTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         BackendName);

// The statistics of finite values added without a branch for the extremes, one at a time or a
// run at once, are bit for bit those Add gives, zeros of either sign included.
TEST(OrbitStatisticsAdd, FiniteValuesGiveWhatAddGives) {
    const std::vector<std::vector<float>> runs = {
        {0.0f, -0.0f, 0.0f}, {-0.0f, 0.0f}, {3.5f, -2.0f, 3.5f, -2.0f, 1e30f}, {-1.0f, 0.0f, -0.0f, 1.0f}};
    for (const auto& run : runs) {
        OrbitStatistics added, finite;
        for (const float v : run) {
            added.Add(v);
            finite.AddFinite(std::span(&v, 1));
            EXPECT_EQ(std::signbit(finite.min), std::signbit(added.min));
            EXPECT_EQ(std::signbit(finite.max), std::signbit(added.max));
        }
        EXPECT_EQ(finite, added);
        OrbitStatistics atOnce;
        atOnce.AddFinite(run);
        EXPECT_EQ(atOnce, added);
        EXPECT_EQ(std::signbit(atOnce.min), std::signbit(added.min));
        EXPECT_EQ(std::signbit(atOnce.max), std::signbit(added.max));
    }
}
