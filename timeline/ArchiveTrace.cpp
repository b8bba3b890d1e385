#include "timeline/ArchiveTrace.h"

#include "core/ChannelCatalogue.h"

namespace kelvarox::timeline {

ChannelTrace LoadChannelTrace(archive::Archive& archive, int32_t channel, const archive::OrbitRange& range,
                              const std::optional<Coefficients>& k) {
    ChannelTrace trace(channel, ChannelCatalogue::NameOf(channel), ChannelCatalogue::UnitOf(channel));
    const Coefficients translation = k ? *k : archive::ChannelTranslation(channel, std::nullopt);
    int64_t blockId = -1;
    archive.ForEachSample(channel, range, translation,
                          [&](const archive::SeriesSample& s, const archive::ArchivedBlock& b) {
                              if (b.id != blockId) {
                                  trace.AddBlock(b.file, b.facts.startAmDay, b.facts.endAmDay, b.facts.maStep);
                                  blockId = b.id;
                              }
                              trace.AddSample(TimeOf(s.orbit, s.ma), s.value, s.raw);
                          });
    trace.Finish();
    return trace;
}

DateLine LoadDateLine(archive::Archive& archive) {
    DateLine dates;
    archive.ForEachBlock(std::nullopt, {}, false, [&](const archive::ArchivedBlock& b, std::span<const uint8_t>) {
        dates.AddBlock(TimeOf(b.startOrbit, b.facts.startMA), TimeOf(b.endOrbit, b.facts.endMA), b.facts.startAmDay,
                       b.facts.endAmDay);
    });
    dates.Finish();
    return dates;
}

}  // namespace kelvarox::timeline
