// The time line kept up to date with an archive as commits come: after each one, the trace and
// the overview that read only what changed are those that reading everything again gives, and
// a trace handed out before keeps what it had.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "TestFiles.h"
#include "archive/Archive.h"
#include "timeline/ArchiveTrace.h"
#include "timeline/LimitWatch.h"

using namespace kelvarox;
using namespace kelvarox::testing;
using namespace kelvarox::timeline;

namespace {

std::string Hex2(int64_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", static_cast<int>(value & 0xFF));
    return text;
}

// The blocks of both channels of a pass on `day` (counted from AmDay 8800): 14.3 orbits a day,
// 40 samples 4 MA apart.
void AddPass(archive::Importer& importer, const TempDir& dir, int day) {
    const double orbits = 1000 + day * 14.3;
    const int64_t orbit = static_cast<int64_t>(orbits);
    const int ma = static_cast<int>((orbits - static_cast<double>(orbit)) * 64) * 4;
    const int64_t end = orbit * 256 + ma + 39 * 4;
    for (const char* channel : {"0140", "0106"}) {
        std::vector<uint8_t> samples;
        for (int i = 0; i < 40; ++i) samples.push_back(static_cast<uint8_t>(100 + 50 * std::sin(i / 6.0 + day)));
        samples[0] = static_cast<uint8_t>(day + 50);
        BlockRecipe recipe = RecipeOf(channel, Hex2(orbit), Hex2(ma), Hex2(end / 256), Hex2(end % 256), "04", samples);
        recipe.startAmDay = recipe.endAmDay = std::to_string(8800 + day);
        const auto path = dir / ("d" + std::to_string(day + 100) + "-" + channel + ".dat");
        WriteBytes(path, BuildBlock(recipe));
        importer.Add(std::move(*archive::ReadBlockForArchive(path.string(), {}).block));
    }
}

struct Copied {
    std::vector<std::tuple<std::string, int64_t, size_t, bool>> blocks;
    std::vector<std::tuple<double, float, uint8_t>> samples;
    bool operator==(const Copied&) const = default;
};

Copied Copy(const ChannelTrace& trace) {
    Copied c;
    for (size_t b = 0; b < trace.BlockCount(); ++b) {
        const TraceBlock& block = trace.Block(b);
        c.blocks.emplace_back(block.file, block.startOrbit, block.count, block.joinsPrevious);
    }
    for (size_t i = 0; i < trace.SampleCount(); ++i)
        c.samples.emplace_back(trace.Time(i), trace.Value(i), trace.Raw(i));
    return c;
}

}  // namespace

TEST(ArchiveFollow, EachCommitReadAloneGivesWhatReadingEverythingGives) {
    TempDir dir;
    const std::string location = (dir / "archive.sqlite").string();
    const auto import = [&](int fromDay, int toDay) {
        archive::Archive archive(location, archive::Archive::Access::Write);
        archive::Importer importer(archive, 3, false);
        for (int day = fromDay; day < toDay; ++day) AddPass(importer, dir, day);
        importer.Finish();
    };
    const auto setOrbit = [&](int day, int64_t by) {
        archive::Archive archive(location, archive::Archive::Access::Write);
        const auto path = (dir / ("d" + std::to_string(day + 100) + "-0140.dat")).string();
        int64_t orbit = 0;
        archive.ForEachBlock(0x140, {}, false, [&](const archive::ArchivedBlock& b, auto) {
            if (b.file == path) orbit = b.startOrbit;
        });
        archive.SetOrbit(path, orbit + by);
    };
    // Ten days; five after them; one before them all; a block and those after it moved by hand;
    // moved back; nothing.
    const std::vector<std::pair<std::function<void()>, bool>> commits = {
        {[&] { import(0, 10); }, true},    {[&] { import(10, 15); }, true},    {[&] { import(-3, -2); }, true},
        {[&] { setOrbit(6, 256); }, true}, {[&] { setOrbit(6, -256); }, true}, {[] {}, false}};

    archive::Archive reader(location, archive::Archive::Access::Write);
    TraceFollower follower(0x140);
    ArchiveOverview overview;
    ChannelLimits limits;
    limits.yellowHigh = 25;
    limits.redHigh = 28.5;
    limits.persistence = 3;
    const auto satellite = std::make_shared<const SatelliteDefinition>(
        "Example-1", std::vector<ChannelEntry>{{0x140, std::nullopt, {}, {}, {}, limits}}, std::vector<ElementSet>{});
    LimitWatch watch(satellite);
    std::vector<std::pair<std::shared_ptr<const ChannelTrace>, Copied>> handedOut;
    for (size_t step = 0; step < commits.size(); ++step) {
        commits[step].first();
        EXPECT_EQ(follower.Update(reader), commits[step].second) << step;
        EXPECT_EQ(overview.Update(reader), commits[step].second) << step;

        const ChannelTrace all = LoadChannelTrace(reader, 0x140);
        watch.Update(reader);
        EXPECT_EQ(watch.Levels().at(0x140), WorstLevel(ExcursionsOf(all, *satellite))) << step;
        const auto trace = follower.Trace();
        EXPECT_EQ(Copy(*trace), Copy(all)) << step;
        EXPECT_GT(trace->SampleCount(), 0u);
        handedOut.emplace_back(trace, Copy(*trace));

        const auto channels = reader.Channels();
        ASSERT_EQ(overview.Channels().size(), channels.size());
        for (size_t c = 0; c < channels.size(); ++c) {
            const archive::ChannelSummary &got = overview.Channels()[c], &want = channels[c];
            EXPECT_EQ(std::tie(got.channel, got.name, got.blocks, got.samples, got.firstOrbit, got.lastOrbit,
                               got.firstAmDay, got.lastAmDay),
                      std::tie(want.channel, want.name, want.blocks, want.samples, want.firstOrbit, want.lastOrbit,
                               want.firstAmDay, want.lastAmDay))
                << step;
        }
        const DateLine dates = LoadDateLine(reader);
        for (double t = 900; t < 1300; t += 0.37)
            ASSERT_EQ(overview.Dates()->AmDayAt(t), dates.AmDayAt(t)) << step << " at " << t;
    }
    // Traces handed out earlier still hold what they held.
    for (size_t step = 0; step < handedOut.size(); ++step)
        EXPECT_EQ(Copy(*handedOut[step].first), handedOut[step].second) << step;
}
