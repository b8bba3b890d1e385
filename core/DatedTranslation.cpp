#include "core/DatedTranslation.h"

#include "core/SampleSeries.h"

namespace kelvarox {

Coefficients BoxTranslation(const Coefficients& equation) {
    const auto boxes = ChannelCatalogue::CoefficientTextsOf(equation);
    Coefficients k;
    UpdateCoefficients(k, boxes.a, boxes.b, boxes.c, boxes.d);
    return k;
}

DatedTranslation::DatedTranslation(const SatelliteDefinition& satellite, int32_t channel,
                                   std::optional<Coefficients> typed)
    : satellite_(satellite), channel_(channel), typed_(std::move(typed)) {}

const Coefficients& DatedTranslation::At(int64_t startAmDay) {
    if (typed_) return *typed_;
    const ChannelEntry* entry = satellite_.EntryOf(channel_, startAmDay);
    for (const auto& [known, k] : known_)
        if (known == entry) return k;
    const Coefficients equation = entry && entry->equation ? *entry->equation : BuiltInDefinition(channel_).equation;
    return known_.emplace_back(entry, BoxTranslation(equation)).second;
}

const ChannelLimits* DatedTranslation::LimitsAt(int64_t startAmDay) const {
    const ChannelEntry* entry = satellite_.EntryOf(channel_, startAmDay);
    return entry && entry->limits ? &*entry->limits : nullptr;
}

}  // namespace kelvarox
