#pragma once
// A block file as the archive takes it in: loaded the way the main window's Load button loads
// it, with its bytes, their SHA-256 and the header values the archive keeps.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/WodBlock.h"

namespace kelvarox::archive {

// The header values of a block that do not depend on where the block lies in the archive.
struct BlockFacts {
    int32_t channel = 0;
    int32_t startAmDay = 0;
    int32_t endAmDay = 0;
    int32_t startOrbitByte = 0;  // the low byte of the start orbit, 0 to 255
    int32_t orbitSpan = 0;       // end orbit - start orbit, 0 to 255 (past FF counts on)
    int32_t startMA = 0;
    int32_t endMA = 0;
    int32_t maStep = 0;
    int32_t sampleCount = 0;            // as every consumer reads the block, at most 384
    int32_t lastSampleOrbitOffset = 0;  // orbit of the last sample, as the data table counts, - start orbit
    bool operator==(const BlockFacts&) const = default;
};

using BlockBytes = std::array<uint8_t, kBlockFileSize>;

struct IncomingBlock {
    std::string file;  // the absolute path it was read from
    BlockBytes bytes{};
    std::string sha256;
    BlockFacts facts;
};

struct Intake {
    std::optional<IncomingBlock> block;
    std::string error;  // the message the main window would show, when the file fails to load
};

// Loads the block file at `path` with the header layout `layout`.
Intake ReadBlockForArchive(const std::string& path, const BlockLayout& layout);

}  // namespace kelvarox::archive
