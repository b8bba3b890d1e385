#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>

#include "CliRunner.h"

using namespace kelvarox::testing;

// The committed sample directories are what the generator writes, byte for byte: the dozen
// blocks, and the week of passes.
TEST(Samples, CommittedBlocksMatchTheGenerator) {
    for (const auto& [args, committed, least] :
         {std::tuple<std::vector<std::string>, std::filesystem::path, size_t>{{}, SamplePath(""), 12},
          {{"--week"}, std::string(KELVAROX_SOURCE_DIR) + "/samples/week", 100}}) {
        TempDir dir;
        std::vector<std::string> command = args;
        command.push_back((dir / "out").string());
        const auto r = RunProcess(KELVAROX_MAKE_SAMPLES, command);
        ASSERT_EQ(r.status, 0) << r.err;
        size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "out")) {
            const auto name = entry.path().filename();
            EXPECT_EQ(ReadText(entry.path()), ReadText(committed / name)) << name;
            ++count;
        }
        size_t committedCount = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(committed)) ++committedCount;
        EXPECT_EQ(count, committedCount) << committed;
        EXPECT_GE(count, least) << committed;
    }
}
