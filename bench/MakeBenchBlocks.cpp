// Writes the blocks of the archive benchmarks: a satellite that flies 14.3 orbits a day, 120
// blocks a day of ten channels in turn, each block 256 samples over four orbits. Block n lies on
// AmDay 1000 + n / 120 (rounded down) at orbit 2560 + n x 14.3 / 120, so negative n are older
// than every block from 0 on and continue the same time line backwards. A million blocks end on
// AmDay 9333: the header has four digits for the AmDay.
// Usage: make_bench_blocks DIRECTORY FIRST COUNT
// writes blocks FIRST to FIRST + COUNT - 1 into DIRECTORY/d0000/, d0001/, ... 1,000 a folder.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "blockbuilder/BlockBuilder.h"

using namespace kelvarox::blockbuilder;

namespace {

constexpr int64_t kBlocksPerFolder = 1000;
constexpr int64_t kBlocksPerDay = 120;
constexpr double kOrbitsPerBlock = 14.3 / kBlocksPerDay;
constexpr int64_t kFirstOrbit = 10 * 256;
constexpr int kFirstDay = 1000;
constexpr int kLastDay = 9999;
const char* const kChannels[] = {"0140", "0141", "0106", "010B", "0171", "0100", "0134", "0130", "0142", "0180"};

std::string Hex2(int64_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", static_cast<int>(value & 0xFF));
    return text;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

std::vector<uint8_t> Block(int64_t n) {
    std::vector<uint8_t> samples(256);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>((static_cast<int64_t>(i) * 7 + n) & 0xFF);
    const uint64_t tag = static_cast<uint64_t>(n) & 0xFFFFFF;  // makes the bytes of every block differ
    samples[0] = static_cast<uint8_t>(tag);
    samples[1] = static_cast<uint8_t>(tag >> 8);
    samples[2] = static_cast<uint8_t>(tag >> 16);
    const int64_t orbit = kFirstOrbit + static_cast<int64_t>(std::floor(static_cast<double>(n) * kOrbitsPerBlock));
    BlockRecipe recipe =
        RecipeOf(kChannels[(n % 10 + 10) % 10], Hex2(orbit), "00", Hex2(orbit + 3), "FC", "04", std::move(samples));
    recipe.startAmDay = recipe.endAmDay = std::to_string(kFirstDay + FloorDiv(n, kBlocksPerDay));
    return BuildBlock(recipe);
}

bool ParseNumber(const char* text, int64_t& value) {
    const std::string_view s(text);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

int main(int argc, char** argv) {
    int64_t first = 0, count = 0;
    if (argc != 4 || !ParseNumber(argv[2], first) || !ParseNumber(argv[3], count) || count < 0 ||
        first < -kBlocksPerDay * kFirstDay || first + count > kBlocksPerDay * (kLastDay - kFirstDay + 1)) {
        std::fprintf(stderr, "usage: %s DIRECTORY FIRST COUNT\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    for (int64_t k = 0; k < count; ++k) {
        const int64_t n = first + k;
        char folder[32], name[32];
        std::snprintf(folder, sizeof folder, "d%04lld", static_cast<long long>(k / kBlocksPerFolder));
        // Names sort in time order, the older blocks of negative n too.
        std::snprintf(name, sizeof name, "b%08lld.dat", static_cast<long long>(n + 10'000'000));
        if (k % kBlocksPerFolder == 0) std::filesystem::create_directories(dir / folder);
        WriteBytes(dir / folder / name, Block(n));
    }
    return 0;
}
