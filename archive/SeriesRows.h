#pragma once
// The samples of a stored block on the archive's time line, and the translation they get.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "archive/BlockIntake.h"
#include "core/ChannelDefinition.h"
#include "core/SampleSeries.h"

namespace kelvarox::archive {

// One sample: the orbit and MA the data table gives it (the orbit counted from the block's
// absolute start orbit), its raw byte and its translated value.
struct SeriesSample {
    int64_t orbit = 0;
    int32_t ma = 0;
    uint8_t raw = 0;
    float value = 0.0f;
};

// Calls each(sample) for the samples of a block, in order.
template <class Each>
void ForEachBlockSample(const BlockFacts& facts, int64_t startOrbit, std::span<const uint8_t> bytes,
                        const Coefficients& k, Each&& each) {
    BlockHeader relative;
    relative.startMA = facts.startMA;
    relative.maStep = facts.maStep;
    RowPosition rows(relative);
    for (int i = 0; i < facts.sampleCount; ++i) {
        const OrbitMA at = rows.Next();
        const size_t offset = static_cast<size_t>(kFirstSampleOffset + i);
        const uint8_t raw = offset < bytes.size() ? bytes[offset] : 0;
        each(SeriesSample{startOrbit + at.orbit, at.ma, raw, TranslateSample(k, raw)});
    }
}

// The translation of a channel of `definition` as Load fills the coefficient boxes with its
// equation, with the texts in `typed` (as if typed into the four boxes afterwards; an empty one
// keeps the value 0) in their place. Raises the conversion error of a text that is no number.
Coefficients ChannelTranslation(const ChannelDefinition& definition,
                                const std::optional<std::array<std::string, 4>>& typed);

}  // namespace kelvarox::archive
