#pragma once
// The main window's Load without its window: the Orbit HiByte text converted, the file read
// into the block buffer, the header decoded, and what the window then shows.
#include <string>
#include <vector>

#include "core/HeaderDecoder.h"

namespace kelvarox {

// The main window's block: the file the next Load reads, and what the last Load left in
// memory, which Graph and Table work on.
struct BlockInMemory {
    WodBlock block;             // the block buffer
    BlockHeader header;         // values of the loaded block
    std::string blockFilePath;  // the file the next load reads
    int32_t orbitBase = 0;      // OrbitHiByte x 256 of the last load, added to the decoded orbit bytes
    bool loadFailed = false;    // the last load failed to read or was no WOD block
};

// What one Load shows in the main window, in this order.
struct LoadOutcome {
    // Information boxes ("File is improper length...", "Improper format..."); Graph and Table
    // are disabled before each.
    std::vector<std::string> messages;
    // The header got as far as its channel: the channel boxes show the channel's definition.
    bool channelDecoded = false;
    // The error that ends the load: an Orbit HiByte text or a header field that is no number,
    // a step of 0. Empty without one.
    std::string error;
};

// The Load of `loaded.blockFilePath`. An Orbit HiByte text that is no number ends it before
// the file is read. A file that cannot be read as a block (not exactly 512 bytes, not a
// regular file, unreadable) leaves the block before it in the buffer, which is decoded again,
// as it always has been: the boxes then show the block that Graph and Table use. A block
// without signature keeps the header as it was; a field that fails keeps the values from it on
// (DecodeHeader).
[[nodiscard]] LoadOutcome LoadBlockFile(BlockInMemory& loaded, const BlockLayout& layout,
                                        const std::string& orbitHiByteText);

}  // namespace kelvarox
