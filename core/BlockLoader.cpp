#include "core/BlockLoader.h"

#include "core/Conversions.h"
#include "core/Errors.h"

namespace kelvarox {

LoadOutcome LoadBlockFile(BlockInMemory& loaded, const BlockLayout& layout, const std::string& orbitHiByteText) {
    LoadOutcome outcome;
    loaded.LoadFailed = false;
    const std::optional<int32_t> orbitHiByte = ParseDecimal(orbitHiByteText);
    if (!orbitHiByte) {
        outcome.error = msg::NotAnInteger(orbitHiByteText);
        return outcome;
    }
    loaded.OrbitBase = OrbitBaseOf(*orbitHiByte);

    if (ReadBlockBytes(loaded.BlockFilePath, loaded.Block) != ReadOutcome::Read) {
        loaded.LoadFailed = true;
        outcome.messages.emplace_back(msg::kImproperLength);
    }
    const HeaderDecoding decoded = DecodeHeader(loaded.Block, layout, loaded.OrbitBase, loaded.Header);
    if (decoded.fault == HeaderFault::NoSignature) {
        loaded.LoadFailed = true;
        outcome.messages.push_back(decoded.error);
        return outcome;
    }
    loaded.Header = decoded.header;
    outcome.channelDecoded = decoded.ChannelDecoded();
    outcome.error = decoded.error;
    return outcome;
}

}  // namespace kelvarox
