#pragma once
// How a channel's raw samples translate, block by block: the equation in force at each block's
// start date, taken as Graph takes it from the boxes that Load fills (written as the box texts
// and read back), so the archive, the command line and the windows give the same values.
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>

#include "core/SatelliteDefinition.h"

namespace kelvarox {

// The coefficients that an equation gives through the four coefficient boxes.
Coefficients BoxTranslation(const Coefficients& equation);

class DatedTranslation {
public:
    // `typed`, when given, translates every block (the coefficients typed on a command line).
    DatedTranslation(const SatelliteDefinition& satellite, int32_t channel, std::optional<Coefficients> typed = {});

    // The translation of a block that starts on `startAmDay`.
    const Coefficients& At(int64_t startAmDay);
    // The limits in force for such a block; none when its entry has none.
    const ChannelLimits* LimitsAt(int64_t startAmDay) const;

private:
    const SatelliteDefinition& satellite_;
    int32_t channel_;
    std::optional<Coefficients> typed_;
    std::deque<std::pair<const ChannelEntry*, Coefficients>> known_;  // by entry (built-in: none); stays in place
};

}  // namespace kelvarox
