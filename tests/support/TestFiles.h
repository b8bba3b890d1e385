#pragma once
// Files and folders of the tests and benchmarks: temporary folders, whole files read and
// written, and the example data table with the block it comes from.
#include <filesystem>
#include <string>

#include "blockbuilder/BlockBuilder.h"

namespace kelvarox::testing {

using namespace kelvarox::blockbuilder;

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

// The example data table: channel "Raw Data" #180, identity equation, orbit 316, MA 248 on
// in steps of 4, raw samples 00, 7F, 80 and FF.
extern const char* const kExampleTableText;
// The block of that table, loaded with Orbit HiByte 1 (samples/telemetry/raw-identity.tlm
// is this block): orbit byte 3C, MA F8 to 04 of the next orbit in steps of 4, channel 180,
// which the catalogue translates as the raw byte itself.
BlockRecipe ExampleTableRecipe();

}  // namespace kelvarox::testing
