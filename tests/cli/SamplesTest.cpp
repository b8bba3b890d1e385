#include <gtest/gtest.h>

#include <filesystem>

#include "CliRunner.h"

using namespace kelvarox::testing;

// The committed sample directory is what the generator writes, byte for byte.
TEST(Samples, CommittedBlocksMatchTheGenerator) {
    TempDir dir;
    const auto r = RunProcess(KELVAROX_MAKE_SAMPLES, {(dir / "telemetry").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::filesystem::path committed = std::filesystem::path(SamplePath(""));
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "telemetry")) {
        const auto name = entry.path().filename();
        EXPECT_EQ(ReadText(entry.path()), ReadText(committed / name)) << name;
        ++count;
    }
    size_t committedCount = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(committed)) ++committedCount;
    EXPECT_EQ(count, committedCount);
    EXPECT_GE(count, 12u);
}
