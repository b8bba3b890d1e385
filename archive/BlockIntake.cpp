#include "archive/BlockIntake.h"

#include <algorithm>
#include <filesystem>

#include "archive/Sha256.h"
#include "core/Errors.h"
#include "core/HeaderDecoder.h"
#include "core/SampleSeries.h"

namespace kelvarox::archive {

namespace {

int32_t LastRowOrbitOffset(const BlockHeader& header, int sampleCount) {
    BlockHeader relative = header;
    relative.startOrbit = 0;
    RowPosition rows(relative);
    OrbitMA at;
    for (int i = 0; i < sampleCount; ++i) at = rows.Next();
    return at.orbit;
}

}  // namespace

Intake ReadBlockForArchive(const std::string& path, const BlockLayout& layout) {
    Intake intake;
    WodBlock read;
    if (ReadBlockBytes(path, read) != ReadOutcome::Read) {
        intake.error = msg::kImproperLength;
        return intake;
    }
    // Orbits as the block names them: the low byte alone.
    const HeaderDecoding decoded = DecodeHeader(read, layout, 0);
    if (!decoded.ok()) {
        intake.error = decoded.error;
        return intake;
    }
    const BlockHeader& h = decoded.header;
    IncomingBlock block;
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    block.file = (absolute.empty() ? std::filesystem::path(path) : absolute).lexically_normal().string();
    std::copy_n(read.bytes.begin(), kBlockFileSize, block.bytes.begin());
    block.sha256 = Sha256Hex(block.bytes);
    BlockFacts& f = block.facts;
    f.channel = h.channel;
    f.startAmDay = h.startAmDay;
    f.endAmDay = h.endAmDay;
    f.startOrbitByte = h.startOrbit;  // loaded with Orbit HiByte 0
    f.orbitSpan = h.endOrbit - h.startOrbit;
    f.startMA = h.startMA;
    f.endMA = h.endMA;
    f.maStep = h.maStep;
    f.sampleCount = h.SampleCount();
    f.lastSampleOrbitOffset = LastRowOrbitOffset(h, f.sampleCount);
    intake.block = std::move(block);
    return intake;
}

}  // namespace kelvarox::archive
