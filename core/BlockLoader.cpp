#include "core/BlockLoader.h"

#include "core/Conversions.h"
#include "core/Errors.h"

namespace kelvarox {

LoadOutcome LoadBlockFile(BlockInMemory& loaded, const BlockLayout& layout, const std::string& orbitHiByteText) {
    LoadOutcome outcome;
    loaded.loadFailed = false;
    const std::optional<int32_t> orbitHiByte = ParseDecimal(orbitHiByteText);
    if (!orbitHiByte) {
        outcome.error = msg::NotAnInteger(orbitHiByteText);
        return outcome;
    }
    loaded.orbitBase = OrbitBaseOf(*orbitHiByte);

    if (ReadBlockBytes(loaded.blockFilePath, loaded.block) != ReadOutcome::Read) {
        loaded.loadFailed = true;
        outcome.messages.emplace_back(msg::kImproperLength);
    }
    const HeaderDecoding decoded = DecodeHeader(loaded.block, layout, loaded.orbitBase, loaded.header);
    if (decoded.fault == HeaderFault::NoSignature) {
        loaded.loadFailed = true;
        outcome.messages.push_back(decoded.error);
        return outcome;
    }
    loaded.header = decoded.header;
    outcome.channelDecoded = decoded.ChannelDecoded();
    outcome.error = decoded.error;
    return outcome;
}

}  // namespace kelvarox
