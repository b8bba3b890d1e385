#pragma once
// Builds WOD block files for tests, samples and benchmarks.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/WodBlock.h"

namespace kelvarox::testing {

// Header fields as the texts that stand in the block (blank-padded on the right to the
// field's width) and the raw samples from byte 64 on.
struct BlockSpec {
    std::string startAmDay = "8766";
    std::string endAmDay = "8766";
    std::string startOrbit = "3C";
    std::string startMA = "10";
    std::string endOrbit = "3D";
    std::string endMA = "20";
    std::string maStep = "04";
    std::string channel = "017F";
    std::vector<uint8_t> samples;
    bool signature = true;
};

// The fullest block: 384 samples, one at every MA over one and a half orbits, of a channel
// with a cubic equation.
BlockSpec FullBlockSpec();

// The data table of the example block: channel "Raw Data" #180, identity equation, orbit 316,
// MA 248 on in steps of 4, raw samples 00, 7F, 80 and FF.
extern const char* const kExampleTableText;

std::vector<uint8_t> BuildBlock(const BlockSpec& spec, const BlockLayout& layout = BlockLayout{});

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);
std::string ReadText(const std::filesystem::path& path);

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace kelvarox::testing
