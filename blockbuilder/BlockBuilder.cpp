#include "blockbuilder/BlockBuilder.h"

#include <fstream>
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

}  // namespace kelvarox::testing
