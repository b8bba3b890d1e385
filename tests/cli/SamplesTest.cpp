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

// --help prints the usage and writes nothing; a usage error says what is wrong, then the usage.
TEST(Samples, HelpAndUsageErrorsWriteNothing) {
    TempDir dir;
    for (const auto& [args, status, firstLine] :
         {std::tuple<std::vector<std::string>, int, std::string>{{"--help"}, 0, ""},
          {{"-h", "out"}, 0, ""},
          {{}, 2, "kelvarox-make-samples: no directory given"},
          {{"--weak", "out"}, 2, "kelvarox-make-samples: unknown option --weak"},
          {{"out", "more"}, 2, "kelvarox-make-samples: one directory only, not also more"}}) {
        // Run in `dir`, where a directory named after an option would appear.
        std::vector<std::string> command = {"-c", "cd \"$0\" && exec \"$@\"", dir.path().string(),
                                            KELVAROX_MAKE_SAMPLES};
        command.insert(command.end(), args.begin(), args.end());
        const auto r = RunProcess("/bin/sh", command);
        EXPECT_EQ(r.status, status) << r.err;
        const std::string& usage = status == 0 ? r.out : r.err;
        EXPECT_NE(usage.find("Usage: kelvarox-make-samples [--week] DIRECTORY\n"), std::string::npos) << usage;
        if (status != 0) {
            EXPECT_EQ(r.err.substr(0, r.err.find('\n')), firstLine);
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
