#include "archive/DatedSamples.h"

#include "archive/SeriesRows.h"

namespace kelvarox::archive {

void ForEachDatedSample(Archive& archive, int32_t channel, const OrbitRange& range, DatedTranslation& translation,
                        const std::function<void(const SeriesSample&, const ArchivedBlock&)>& each) {
    archive.ForEachBlock(channel, range, true, [&](const ArchivedBlock& b, std::span<const uint8_t> bytes) {
        ForEachBlockSample(b.facts, b.startOrbit, bytes, translation.At(b.facts.startAmDay),
                           [&](const SeriesSample& s) {
                               if (range.Contains(s.orbit)) each(s, b);
                           });
    });
}

}  // namespace kelvarox::archive
