#include "BlockBuilder.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kelvarox::testing {

namespace {

void PutField(std::vector<uint8_t>& bytes, int32_t address, int width, const std::string& text) {
    for (int k = 0; k < width; ++k) {
        const int64_t pos = static_cast<int64_t>(address) + k;
        if (pos < 0 || pos >= static_cast<int64_t>(bytes.size())) continue;
        bytes[static_cast<size_t>(pos)] = k < static_cast<int>(text.size()) ? static_cast<uint8_t>(text[k]) : ' ';
    }
}

}  // namespace

const char* const kExampleTableText =
    " WOD Data Channel Table\r\n"
    "\r\n"
    " Name: Raw Data\r\n"
    " Number: #180\r\n"
    "\r\n"
    "   No.  Orbit   MA   Raw   Trans \r\n"
    " -------------------------------\r\n"
    "   0 ,   316 , 248 , #00 ,   0.0\r\n"
    "   1 ,   316 , 252 , #7F , 127.0\r\n"
    "   2 ,   317 , 000 , #80 , 128.0\r\n"
    "   3 ,   317 , 004 , #FF , 255.0\r\n";

BlockSpec FullBlockSpec() {
    BlockSpec spec;
    spec.startOrbit = "20";
    spec.startMA = "00";
    spec.endOrbit = "21";
    spec.endMA = "7F";
    spec.maStep = "01";
    spec.channel = "0134";
    for (int i = 0; i < kSeriesCapacity; ++i) spec.samples.push_back(static_cast<uint8_t>(i * 7));
    return spec;
}

std::vector<uint8_t> BuildBlock(const BlockSpec& spec, const BlockLayout& layout) {
    std::vector<uint8_t> bytes(kBlockFileSize, 0);
    for (size_t i = 0; i < spec.samples.size() && kFirstSampleOffset + i < bytes.size(); ++i) {
        bytes[kFirstSampleOffset + i] = spec.samples[i];
    }
    if (spec.signature) {
        bytes[3] = 'W';
        bytes[4] = 'h';
        bytes[5] = 'o';
    }
    PutField(bytes, layout.StartAmDayAddr, 4, spec.startAmDay);
    PutField(bytes, layout.EndAmDayAddr, 4, spec.endAmDay);
    PutField(bytes, layout.StartOrbitAddr, 2, spec.startOrbit);
    PutField(bytes, layout.StartMAAddr, 2, spec.startMA);
    PutField(bytes, layout.EndOrbitAddr, 2, spec.endOrbit);
    PutField(bytes, layout.EndMAAddr, 2, spec.endMA);
    PutField(bytes, layout.MAStepAddr, 2, spec.maStep);
    PutField(bytes, layout.ChannelAddr, 4, spec.channel);
    return bytes;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvarox-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Give back permissions that a test may have taken away, then remove everything.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

}  // namespace kelvarox::testing
