// The archive library against both engines: placement as blocks arrive in any order, range
// queries, and a reader beside a writer.
#include "archive/Archive.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "ArchiveBackends.h"
#include "SilentServer.h"
#include "archive/ArchiveMessages.h"
#include "core/Errors.h"

using namespace kelvarox;
using namespace kelvarox::archive;
using namespace kelvarox::testing;

namespace {

class ArchiveTest : public ::testing::TestWithParam<Backend> {
protected:
    TempDir dir;
    std::string location = FreshArchive(GetParam(), dir);

    // Writes the blocks of `passes` into `folder` and returns the true orbit of each file.
    std::map<std::string, int64_t> WriteBlocks(const std::string& folder, const std::vector<TruePass>& passes,
                                               int tag0) {
        std::filesystem::create_directories(dir / folder);
        std::map<std::string, int64_t> truth;
        for (size_t i = 0; i < passes.size(); ++i) {
            const auto path = dir / folder / ("b" + std::to_string(tag0 + static_cast<int>(i)) + ".dat");
            WriteBytes(path, PassBlock(passes[i], i % 3 ? "0140" : "0106", 16 + static_cast<int>(i % 5) * 40,
                                       tag0 + static_cast<int>(i)));
            truth[path.string()] = passes[i].orbit;
        }
        return truth;
    }

    ImportCounts Import(const std::string& folder, int64_t hiByte, bool replace,
                        size_t batch = Importer::kDefaultBatch) {
        Archive archive(location, Archive::Access::Write);
        Importer importer(archive, hiByte, replace, batch);
        for (const auto& entry : std::filesystem::directory_iterator(dir / folder)) {
            auto intake = ReadBlockForArchive(entry.path().string(), {});
            EXPECT_TRUE(intake.block) << intake.error;
            if (intake.block) importer.Add(std::move(*intake.block));
        }
        importer.Finish();
        return importer.Counts();
    }

    std::map<std::string, ArchivedBlock> Stored() {
        Archive archive(location, Archive::Access::Read);
        std::map<std::string, ArchivedBlock> blocks;
        archive.ForEachBlock(std::nullopt, {}, false,
                             [&](const ArchivedBlock& b, std::span<const uint8_t>) { blocks[b.file] = b; });
        return blocks;
    }
};

}  // namespace

// Recent blocks first, then old ones (with their Orbit HiByte), then the ones between that
// close a three-week gap: each import re-places what follows, and in the end every block has
// its true orbit, for sure.
TEST_P(ArchiveTest, BlocksAddedLaterPlaceTheirNeighboursAgain) {
    std::mt19937 random(5);
    const Satellite satellite{13.7, 2 * 256 + 30, 8800};
    auto truth = WriteBlocks("late", satellite.Blocks(25, 40, 3, random), 0);
    const auto early = WriteBlocks("early", satellite.Blocks(0, 5, 3, random), 1000);
    const auto middle = WriteBlocks("middle", satellite.Blocks(5, 25, 2, random), 2000);
    const int64_t lateHiByte =
        std::min_element(truth.begin(), truth.end(), [](auto& a, auto& b) { return a.second < b.second; })->second /
        256;

    EXPECT_EQ(Import("late", lateHiByte, false).added, 45);
    for (const auto& [file, b] : Stored()) EXPECT_EQ(b.startOrbit, truth[file]) << file;

    EXPECT_EQ(Import("early", 2, true, 7).added, 15);
    for (const auto& [file, b] : Stored()) {
        if (early.count(file)) {
            EXPECT_EQ(b.startOrbit, early.at(file)) << file;
            EXPECT_TRUE(b.orbitSure) << file;
        }
    }
    EXPECT_EQ(Import("middle", 0, false, 11).added, 40);  // the archive keeps the Orbit HiByte it has
    truth.insert(early.begin(), early.end());
    truth.insert(middle.begin(), middle.end());
    const auto stored = Stored();
    ASSERT_EQ(stored.size(), truth.size());
    for (const auto& [file, b] : stored) {
        EXPECT_EQ(b.startOrbit, truth[file]) << file;
        EXPECT_EQ(b.endOrbit, b.startOrbit + b.facts.orbitSpan) << file;
        EXPECT_TRUE(b.orbitSure) << file;
    }
}

// A range takes every sample of its orbits, from the blocks that reach into it, and nothing else;
// a block that starts long before the range still counts.
TEST_P(ArchiveTest, SamplesOfAnOrbitRange) {
    const Satellite satellite{14.0, 4000, 8800};
    std::vector<TruePass> passes;
    for (int n = 0; n < 30; ++n) passes.push_back(satellite.At(n * 0.5));
    WriteBlocks("blocks", passes, 0);
    // One block of 384 samples 4 MA apart spans six orbits.
    WriteBytes(dir / "blocks" / "long.dat", PassBlock(satellite.At(15.2), "0140", 384, 999));
    Import("blocks", 4000 / 256, false);

    Archive archive(location, Archive::Access::Read);
    std::vector<std::pair<int64_t, SeriesSample>> all;
    archive.ForEachSample(0x140, {}, Coefficients{0, 0, 1, 0},
                          [&](const SeriesSample& s, const ArchivedBlock& b) { all.emplace_back(b.id, s); });
    const int64_t longStart = satellite.At(15.2).orbit;
    for (const OrbitRange range : {OrbitRange{longStart + 3, longStart + 4}, OrbitRange{std::nullopt, 4050},
                                   OrbitRange{4100, std::nullopt}, OrbitRange{4200, 4100}}) {
        std::vector<std::pair<int64_t, SeriesSample>> expected, got;
        for (const auto& s : all)
            if (range.Contains(s.second.orbit)) expected.push_back(s);
        archive.ForEachSample(0x140, range, Coefficients{0, 0, 1, 0},
                              [&](const SeriesSample& s, const ArchivedBlock& b) { got.emplace_back(b.id, s); });
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].first, expected[i].first);
            EXPECT_EQ(got[i].second.orbit, expected[i].second.orbit);
            EXPECT_EQ(got[i].second.ma, expected[i].second.ma);
            EXPECT_EQ(got[i].second.value, static_cast<float>(got[i].second.raw));
        }
    }
    EXPECT_FALSE(all.empty());
}

// A writer adding blocks in a thread of its own while a reader reads: the reader only ever sees
// whole batches, and the generation only grows.
TEST_P(ArchiveTest, AReaderBesideAWriterSeesWholeBatches) {
    std::mt19937 random(9);
    const Satellite satellite{14.2, 300, 8800};
    WriteBlocks("blocks", satellite.Blocks(0, 100, 12, random), 0);
    { Archive created(location, Archive::Access::Write); }
    std::atomic<bool> done = false;
    std::thread writer([&] {
        Import("blocks", 1, false, 100);
        done = true;
    });
    Archive reader(location, Archive::Access::Read);
    int64_t lastCount = 0, lastGeneration = 0, reads = 0;
    while (!done || reads == 0) {
        int64_t count = 0;
        for (const auto& c : reader.Channels()) count += c.blocks;
        const int64_t generation = reader.Generation();
        EXPECT_EQ(count % 100, 0);
        EXPECT_GE(count, lastCount);
        EXPECT_GE(generation, lastGeneration);
        lastCount = count;
        lastGeneration = generation;
        ++reads;
    }
    writer.join();
    int64_t count = 0;
    for (const auto& c : reader.Channels()) count += c.blocks;
    EXPECT_EQ(count, 1200);
    EXPECT_EQ(reader.Generation(), 12);
}

// Between two reads a reader learns which blocks the commits stored or placed anew, and only
// those: new ones, and stored ones whose orbit or sureness an import or set-orbit changed. An
// archive of the schema before is brought up to date with every block counted as read.
TEST_P(ArchiveTest, ReadersLearnWhichBlocksCommitsStoredOrPlacedAnew) {
    std::mt19937 random(5);
    const Satellite satellite{13.7, 2 * 256 + 30, 8800};
    WriteBlocks("late", satellite.Blocks(25, 40, 3, random), 0);
    WriteBlocks("early", satellite.Blocks(0, 5, 3, random), 1000);
    WriteBlocks("middle", satellite.Blocks(5, 25, 2, random), 2000);
    const auto changedSince = [&](std::optional<int32_t> channel, int64_t since) {
        Archive reader(location, Archive::Access::Read);
        std::map<std::string, std::pair<int64_t, bool>> changed;
        const int64_t generation = reader.ForEachChangedBlock(channel, since, false, [&](const ArchivedBlock& b, auto) {
            changed[b.file] = {b.startOrbit, b.orbitSure};
        });
        return std::pair(generation, changed);
    };
    int64_t generation = -1;
    std::map<std::string, std::pair<int64_t, bool>> before;
    const std::vector<std::function<void()>> steps = {
        [&] { Import("late", 11, false); }, [&] { Import("early", 2, true, 7); },
        [&] { Import("middle", 0, false, 11); },
        [&] {
            Archive writer(location, Archive::Access::Write);
            const auto stored = Stored();
            const ArchivedBlock& b = std::next(stored.begin(), 20)->second;
            writer.SetOrbit(b.sha256, b.startOrbit + 256);
        }};
    for (size_t step = 0; step < steps.size(); ++step) {
        steps[step]();
        std::map<std::string, std::pair<int64_t, bool>> now, expected, expected140;
        for (const auto& [file, b] : Stored()) now[file] = {b.startOrbit, b.orbitSure};
        for (const auto& [file, placed] : now) {
            if (before.count(file) && before[file] == placed) continue;
            expected[file] = placed;
            if (Stored()[file].facts.channel == 0x140) expected140[file] = placed;
        }
        const auto [reached, changed] = changedSince(std::nullopt, generation);
        EXPECT_EQ(changed, expected) << "step " << step;
        EXPECT_EQ(changedSince(0x140, generation).second, expected140) << "step " << step;
        EXPECT_TRUE(changedSince(std::nullopt, reached).second.empty()) << "step " << step;
        EXPECT_FALSE(expected.empty()) << "step " << step;
        generation = reached;
        before = now;
    }

    // Made an archive of the schema before generations, every block counts as changed until a
    // writer brings it up to date; then none has.
    RunSql(location,
           "DROP INDEX kelvarox_blocks_by_generation; ALTER TABLE kelvarox_blocks DROP COLUMN generation; "
           "DROP TABLE kelvarox_orbit_statistics; "
           "UPDATE kelvarox_meta SET value = '2' WHERE key = 'schema_version'");
    EXPECT_EQ(changedSince(std::nullopt, generation).second, before);
    { Archive updated(location, Archive::Access::Write); }
    EXPECT_TRUE(changedSince(std::nullopt, generation).second.empty());
    EXPECT_EQ(changedSince(std::nullopt, -1).second, before);
}

// A writer that finds another program writing is told that it waits and when its turn came;
// one that gives up while it waits stores nothing.
TEST_P(ArchiveTest, AWriterIsToldWhileItWaitsForAnotherAndMayGiveUp) {
    std::mt19937 random(3);
    WriteBlocks("blocks", Satellite{}.Blocks(0, 4, 2, random), 0);
    { Archive created(location, Archive::Access::Write); }
    std::mutex mutex;
    std::vector<bool> told;
    std::atomic<bool> abandon = false;
    std::string givenUp;
    const auto import = [&](bool giveUp) {
        WaitHooks hooks;
        if (giveUp) hooks.abandon = &abandon;
        hooks.writerWaits = [&, giveUp](bool waiting) {
            std::lock_guard lock(mutex);
            told.push_back(waiting);
            if (giveUp) abandon = true;
        };
        try {
            Archive archive(location, Archive::Access::Write, hooks);
            Importer importer(archive, 0, false);
            for (const auto& entry : std::filesystem::directory_iterator(dir / "blocks"))
                importer.Add(std::move(*ReadBlockForArchive(entry.path().string(), {}).block));
            importer.Finish();
        } catch (const KelvaroxError& e) {
            givenUp = e.what();
        }
    };
    const auto toldSoFar = [&] {
        std::lock_guard lock(mutex);
        return told;
    };

    auto other = HoldWriteLock(location);
    std::thread quitter(import, true);
    quitter.join();
    EXPECT_EQ(givenUp, archive::msg::Abandoned(Archive::NameOf(location)));
    EXPECT_TRUE(Stored().empty());

    told.clear();
    std::thread writer(import, false);
    while (toldSoFar().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(Stored().empty());
    other.reset();  // the other program commits
    writer.join();
    EXPECT_EQ(toldSoFar(), (std::vector<bool>{true, false}));
    EXPECT_EQ(Stored().size(), 8u);
}

// However the blocks arrive (folders in another order, small batches, two imports at once),
// the archive ends as one import of all of them leaves it: each batch places again only what
// it changes, outliers and gaps included.
TEST_P(ArchiveTest, ImportsInAnyOrderEndAsOneImport) {
    // Blocks of the satellite in four folders by time, the odd ones in a fifth. Imported late
    // ones first, each import places everything after its blocks again.
    const Satellite satellite{12.6, 6 * 256 + 40, 8800}, other{12.6, 6 * 256 + 40 + 128, 8800};
    std::vector<std::pair<std::string, TruePass>> blocks;
    for (int day = 0; day < 70; ++day) {
        if (day >= 30 && day < 50) continue;  // a gap of twenty days
        const char* folder = day < 10 ? "early" : day < 30 ? "before-gap" : day < 55 ? "after-gap" : "late";
        for (int n = 0; n < 6; ++n) blocks.emplace_back(folder, satellite.At(day + 0.05 + n / 6.0));
    }
    TruePass dayZero = satellite.At(10.3), ahead = satellite.At(20.8);
    dayZero.amDay = 0;
    ahead.orbit += 12;
    // Two blocks of another satellite in the gap: stored last, they break the sequence, until
    // the blocks after the gap show them to be outliers.
    for (const TruePass& odd : {dayZero, ahead, other.At(5.5), other.At(30.5), other.At(31.5), other.At(55.5)})
        blocks.emplace_back("odd", odd);
    for (int n = 0; n < 80; ++n)
        blocks.emplace_back("odd", TruePass{8800 + 60, 6 * 256 + 3 * n, 0});  // a day of 80 passes
    for (size_t i = 0; i < blocks.size(); ++i) {
        std::filesystem::create_directories(dir / blocks[i].first);
        WriteBytes(dir / blocks[i].first / ("b" + std::to_string(i) + ".dat"),
                   PassBlock(blocks[i].second, "0140", 30, static_cast<int>(i)));
    }
    auto importFolders = [&](const std::string& at, const std::vector<std::string>& folders, size_t batch) {
        Archive archive(at, Archive::Access::Write);
        Importer importer(archive, 6, true, batch);
        for (const auto& folder : folders)
            for (const auto& entry : std::filesystem::directory_iterator(dir / folder))
                importer.Add(std::move(*ReadBlockForArchive(entry.path().string(), {}).block));
        importer.Finish();
    };
    auto placements = [&](const std::string& at) {
        Archive archive(at, Archive::Access::Read);
        std::map<std::string, std::pair<int64_t, bool>> placed;
        archive.ForEachBlock(std::nullopt, {}, false, [&](const ArchivedBlock& b, std::span<const uint8_t>) {
            placed[b.file] = {b.startOrbit, b.orbitSure};
        });
        return placed;
    };
    importFolders(location, {"early", "before-gap", "after-gap", "late", "odd"}, Importer::kDefaultBatch);
    const auto once = placements(location);
    ASSERT_EQ(once.size(), blocks.size());

    for (const auto& order : {std::vector<std::string>{"late", "after-gap", "odd", "before-gap", "early"},
                              std::vector<std::string>{"early", "before-gap", "odd", "after-gap", "late"}}) {
        const TempDir another;
        const std::string oneByOne = FreshArchive(GetParam(), another);
        for (const auto& folder : order) importFolders(oneByOne, {folder}, 13);
        EXPECT_EQ(placements(oneByOne), once) << order[0];
    }
    const TempDir another;
    const std::string atOnce = FreshArchive(GetParam(), another);
    { Archive created(atOnce, Archive::Access::Write); }
    std::thread second([&] { importFolders(atOnce, {"late", "before-gap", "odd"}, 17); });
    importFolders(atOnce, {"after-gap", "early", "late"}, 11);
    second.join();
    EXPECT_EQ(placements(atOnce), once);
}

INSTANTIATE_TEST_SUITE_P(Backends, ArchiveTest, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

// A server that takes the connection and never answers: a reader waiting for it gives up when
// told to, however long the connection's own timeout.
TEST(ArchiveConnection, AServerThatNeverAnswersIsGivenUp) {
    SilentServer server;
    const std::string location = server.Address("connect_timeout=3600");
    std::atomic<bool> abandon = false;
    std::string message;
    std::thread reader([&] {
        WaitHooks hooks;
        hooks.abandon = &abandon;
        try {
            Archive archive(location, Archive::Access::Read, hooks);
        } catch (const KelvaroxError& e) {
            message = e.what();
        }
    });
    server.Accept();  // the reader is waiting for an answer now
    abandon = true;
    reader.join();
    EXPECT_EQ(message, archive::msg::Abandoned(location));
}
