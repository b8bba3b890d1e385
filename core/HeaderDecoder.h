#pragma once
// The header of a WOD block decoded from its bytes alone: the eight fields at the layout's
// addresses, the dates, the orbits placed at an orbit base, and the values derived from them.
// No file, no window: the main window's Load, the archive and the command line all decode
// with it.
#include <cstdint>
#include <string>

#include "core/WodBlock.h"

namespace kelvarox {

// Where the decoding of a header stopped.
enum class HeaderFault {
    None,         // every value decoded
    NoSignature,  // no "Who" at bytes 3 to 5: nothing decoded
    NotANumber,   // a field that is no number: the fields before it decoded
    ZeroStep,     // an MA step of 0: every field decoded, the sample count not
};

struct HeaderDecoding {
    // The decoded values; from the step that failed on, the values of the header it started from.
    BlockHeader header;
    HeaderFault fault = HeaderFault::None;
    // The message of the failure, word for word as the user reads it; empty without one.
    std::string error;

    bool ok() const { return fault == HeaderFault::None; }
    // The decoding got past the channel field, so the channel is the block's.
    bool ChannelDecoded() const { return fault == HeaderFault::None || fault == HeaderFault::ZeroStep; }
};

// Decodes the header of `block`, its fields at the addresses of `layout`, the orbit bytes
// placed at `orbitBase` (OrbitHiByte x 256). The fields are decoded in the order start AmDay,
// end AmDay, start orbit, start MA, end orbit, end MA, MA step, channel, then the positions,
// the last sample index (a step of 0 fails there with "Division by zero") and FirstMA. A
// failing step keeps `before`'s value of it and of every step after it.
[[nodiscard]] HeaderDecoding DecodeHeader(const WodBlock& block, const BlockLayout& layout, int32_t orbitBase,
                                          const BlockHeader& before = {});

// Mean anomaly given to sample 0 on the graph axis.
int32_t FirstMAOf(int32_t startMA, int32_t maStep);

}  // namespace kelvarox
