#pragma once
// A channel's samples from the archive, each block translated by the equation in force at its
// start date.
#include <functional>

#include "archive/Archive.h"
#include "core/DatedTranslation.h"

namespace kelvarox::archive {

// The samples of one channel from every stored block in time order, those within `range`.
void ForEachDatedSample(Archive& archive, int32_t channel, const OrbitRange& range, DatedTranslation& translation,
                        const std::function<void(const SeriesSample&, const ArchivedBlock&)>& each);

}  // namespace kelvarox::archive
