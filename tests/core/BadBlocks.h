#pragma once
// The block that the tests of bad input start from, and a file far larger than it is on disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace kelvarox::testing {

inline const std::string kLength = "File is improper length, must be 512 bytes!!";
inline const std::string kFormat = "Improper format for WOD data block!";
inline constexpr uint64_t kFourGiB = uint64_t{1} << 32;

using Bytes = std::vector<uint8_t>;

// The block every test starts from: channel 0x140, start orbit 3C MA 10, end orbit 3D MA 20,
// step 4, so 69 samples.
inline BlockRecipe GoodRecipe() {
    BlockRecipe recipe;
    recipe.channel = "0140";
    recipe.startAmDay = "8034";
    recipe.endAmDay = "8035";
    for (int i = 0; i < 69; ++i) recipe.samples.push_back(static_cast<uint8_t>(3 * i));
    return recipe;
}

// A file of `length` bytes that holds only `start` on disk, the rest a hole.
inline std::string SparseFile(const std::filesystem::path& path, uint64_t length, const Bytes& start) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(length)), 0) << path;
    EXPECT_EQ(::pwrite(fd, start.data(), start.size(), 0), static_cast<ssize_t>(start.size()));
    ::close(fd);
    return path.string();
}

}  // namespace kelvarox::testing
