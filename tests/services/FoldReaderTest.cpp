// The fold window's reader: a channel's samples handed over in more than one batch, none lost
// or doubled at a batch's edge, the last batch with the bins of them all; and an archive that
// cannot be read told as such, never as a fold without samples.
#include <gtest/gtest.h>

#include <QTest>
#include <cstdio>

#include "TestFiles.h"
#include "archive/Archive.h"
#include "archive/BlockIntake.h"
#include "archive/SeriesRows.h"
#include "services/FoldReader.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

struct Read {
    timeline::FoldSamples samples;
    std::vector<timeline::FoldBin> bins;
    int batches = 0;
    std::optional<QString> problem;

    explicit Read(const std::string& location) {
        FoldReader reader({location, 0x140, {}, 64, nullptr});
        QObject::connect(&reader, &FoldReader::samplesRead, [this](const auto& more, const auto& all) {
            samples.Append(*more);
            bins = all;
            ++batches;
        });
        QObject::connect(&reader, &FoldReader::finished, [this](const QString& p) { problem = p; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return problem.has_value(); }, 60000));
    }
};

TEST(FoldReader, HandsOverEverySampleOnceInBatches) {
    // 180 blocks of 384 samples, one an orbit: more than one batch.
    TempDir dir;
    const std::string location = (dir / "archive.sqlite").string();
    {
        archive::Archive archive(location, archive::Archive::Access::Write);
        archive::Importer importer(archive, 0, false);
        for (int b = 0; b < 180; ++b) {
            char orbit[3], next[3];
            std::snprintf(orbit, 3, "%02X", b);
            std::snprintf(next, 3, "%02X", b + 1);
            std::vector<uint8_t> raws(384);
            for (size_t i = 0; i < raws.size(); ++i) raws[i] = static_cast<uint8_t>(b + i * 7);
            const auto path = dir / ("b" + std::to_string(b) + ".dat");
            WriteBytes(path, BuildBlock(RecipeOf("0140", orbit, "00", next, "7F", "01", std::move(raws))));
            auto intake = archive::ReadBlockForArchive(path.string(), {});
            ASSERT_TRUE(intake.block) << intake.error;
            importer.Add(std::move(*intake.block));
        }
        importer.Finish();
    }
    timeline::FoldStatistics expected(64);
    size_t count = 0;
    archive::Archive archive(location, archive::Archive::Access::Read);
    archive.ForEachSample(0x140, {}, archive::ChannelTranslation(BuiltInDefinition(0x140), std::nullopt),
                          [&](const archive::SeriesSample& s, const archive::ArchivedBlock&) {
                              expected.Add(s.ma, s.value);
                              ++count;
                          });
    ASSERT_EQ(count, 180u * 384);

    const Read read(location);
    EXPECT_EQ(read.problem, QString());
    EXPECT_GT(read.batches, 1);
    EXPECT_EQ(read.samples.SampleCount(), count);
    EXPECT_EQ(timeline::FoldCsv(read.bins), timeline::FoldCsv(expected.Bins()));
}

TEST(FoldReader, AnArchiveThatCannotBeReadIsTold) {
    TempDir dir;
    const Read read((dir / "no-folder" / "archive.sqlite").string());
    ASSERT_TRUE(read.problem);
    EXPECT_NE(read.problem->toStdString().find("no-folder"), std::string::npos) << read.problem->toStdString();
    EXPECT_EQ(read.samples.SampleCount(), 0u);
}

}  // namespace
