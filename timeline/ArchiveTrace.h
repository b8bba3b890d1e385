#pragma once
// The time line's data read from the archive: a channel's trace and the days of the orbit axis.
#include <optional>

#include "archive/Archive.h"
#include "timeline/ChannelTrace.h"
#include "timeline/DateLine.h"

namespace kelvarox::timeline {

// Every sample of `channel` within `range`, translated with `k` (by default the catalogue's
// equation for the channel, as Load fills the boxes).
ChannelTrace LoadChannelTrace(archive::Archive& archive, int32_t channel, const archive::OrbitRange& range = {},
                              const std::optional<Coefficients>& k = std::nullopt);

// The days that the blocks of every channel give the orbit axis.
DateLine LoadDateLine(archive::Archive& archive);

}  // namespace kelvarox::timeline
