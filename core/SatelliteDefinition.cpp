#include "core/SatelliteDefinition.h"

#include <algorithm>
#include <cmath>

#include "core/CivilDate.h"

namespace kelvarox {

namespace {

bool EntryBefore(const ChannelEntry& a, const ChannelEntry& b) {
    if (a.channel != b.channel) return a.channel < b.channel;
    return a.fromAmDay.value_or(INT64_MIN) < b.fromAmDay.value_or(INT64_MIN);
}

}  // namespace

const SatelliteDefinition& BuiltInSatellite() {
    static const SatelliteDefinition builtIn;
    return builtIn;
}

SatelliteDefinition::SatelliteDefinition(std::string name, std::vector<ChannelEntry> entries,
                                         std::vector<ElementSet> elements)
    : name_(std::move(name)), entries_(std::move(entries)), elements_(std::move(elements)) {
    std::stable_sort(entries_.begin(), entries_.end(), EntryBefore);
    std::stable_sort(elements_.begin(), elements_.end(),
                     [](const ElementSet& a, const ElementSet& b) { return a.epochAmDay < b.epochAmDay; });
}

const ChannelEntry* SatelliteDefinition::EntryOf(int32_t channel, int64_t startAmDay) const {
    if (entries_.empty()) return nullptr;
    // The last entry of the channel whose `from` is on or before the day.
    ChannelEntry key;
    key.channel = channel;
    key.fromAmDay = startAmDay;
    auto it = std::upper_bound(entries_.begin(), entries_.end(), key, EntryBefore);
    if (it == entries_.begin()) return nullptr;
    const ChannelEntry& e = *std::prev(it);
    return e.channel == channel ? &e : nullptr;
}

ChannelDefinition SatelliteDefinition::DefinitionOf(int32_t channel, int64_t startAmDay) const {
    ChannelDefinition d = BuiltInDefinition(channel);
    const ChannelEntry* e = EntryOf(channel, startAmDay);
    if (!e) return d;
    if (e->name) d.name = *e->name;
    if (e->unit) d.unit = *e->unit;
    if (e->equation) d.equation = *e->equation;
    d.limits = e->limits;
    return d;
}

std::vector<int32_t> SatelliteDefinition::ChannelsWithLimits() const {
    std::vector<int32_t> channels;
    for (const ChannelEntry& e : entries_)
        if (e.limits && (channels.empty() || channels.back() != e.channel)) channels.push_back(e.channel);
    return channels;
}

const ElementSet* SatelliteDefinition::ElementsNear(int64_t amDay) const {
    if (elements_.empty()) return nullptr;
    const double day = static_cast<double>(amDay);
    auto later = std::lower_bound(elements_.begin(), elements_.end(), day,
                                  [](const ElementSet& e, double d) { return e.epochAmDay < d; });
    if (later == elements_.end()) return &elements_.back();
    if (later == elements_.begin()) return &*later;
    auto earlier = std::prev(later);
    return day - earlier->epochAmDay <= later->epochAmDay - day ? &*earlier : &*later;
}

std::optional<double> SatelliteDefinition::SampleTime(int64_t startAmDay, int64_t orbit, double ma) const {
    const ElementSet* elements = ElementsNear(startAmDay);
    if (!elements) return std::nullopt;
    return SampleAmDayTime(*elements, orbit, ma);
}

std::optional<int64_t> SatelliteDefinition::MisplacedStartDay(int64_t startAmDay, int64_t startOrbit,
                                                              int32_t startMA) const {
    const auto time = SampleTime(startAmDay, startOrbit, startMA);
    // A time beyond any calendar (elements of a nonsense mean motion) names no day.
    if (!time || !(std::fabs(*time) < 1e15)) return std::nullopt;
    const auto day = static_cast<int64_t>(std::floor(*time));
    if (day == startAmDay) return std::nullopt;
    return day;
}

std::string SatelliteDefinition::MisplacedStartText(int64_t elementsDay, int64_t headerDay) {
    return "the elements place its first sample on " + IsoDateText(elementsDay) + ", its header on " +
           IsoDateText(headerDay) + " (is orbit_offset right?)";
}

}  // namespace kelvarox
