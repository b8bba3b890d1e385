#pragma once
// What the program knows of one satellite: the name, unit, translation equation and limits of
// each channel, which may change at dates (a sensor recalibrated), and its orbital elements.
// Without a satellite file it is the built-in channel catalogue.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ChannelDefinition.h"
#include "core/OrbitalElements.h"

namespace kelvarox {

// One entry of a satellite file: a channel from a date on (from the beginning without one).
// A field left out keeps the built-in catalogue's value.
struct ChannelEntry {
    int32_t channel = 0;
    std::optional<int64_t> fromAmDay;
    std::optional<std::string> name;
    std::optional<std::string> unit;
    std::optional<Coefficients> equation;
    std::optional<ChannelLimits> limits;
};

class SatelliteDefinition {
public:
    // The built-in catalogue: no entries, no elements.
    SatelliteDefinition() = default;
    SatelliteDefinition(std::string name, std::vector<ChannelEntry> entries, std::vector<ElementSet> elements);

    // The satellite's name; empty for the built-in catalogue.
    const std::string& Name() const { return name_; }
    bool IsBuiltIn() const { return entries_.empty() && elements_.empty() && name_.empty(); }

    // The channel as a block that starts on `startAmDay` translates it: the entry with the
    // latest `from` on or before that day, else the built-in catalogue's.
    ChannelDefinition DefinitionOf(int32_t channel, int64_t startAmDay) const;
    // The entry in force for the channel on that day; none where the built-in catalogue is.
    const ChannelEntry* EntryOf(int32_t channel, int64_t startAmDay) const;

    // The channels that have limits in some entry, in number order.
    std::vector<int32_t> ChannelsWithLimits() const;
    const std::vector<ChannelEntry>& Entries() const { return entries_; }

    // The element set whose epoch lies nearest the day, if the satellite has any.
    const ElementSet* ElementsNear(int64_t amDay) const;
    const std::vector<ElementSet>& Elements() const { return elements_; }

    // The time of a sample at absolute orbit `orbit` and MA `ma` of a block that starts on
    // `startAmDay`, in AmDays with the time of day as fraction, from the elements nearest that
    // day; none without elements.
    std::optional<double> SampleTime(int64_t startAmDay, int64_t orbit, double ma) const;
    // The day the elements give a block's first sample when it is not the block's start date
    // (most likely a wrong orbit_offset); none when they agree or there are no elements.
    std::optional<int64_t> MisplacedStartDay(int64_t startAmDay, int64_t startOrbit, int32_t startMA) const;
    // The warning for such a block: "the elements place its first sample on 2002-01-04, its
    // header on 2002-01-05 (is orbit_offset right?)".
    static std::string MisplacedStartText(int64_t elementsDay, int64_t headerDay);

private:
    std::string name_;
    std::vector<ChannelEntry> entries_;  // by channel, then `from` (none first)
    std::vector<ElementSet> elements_;   // by epoch
};

// The built-in catalogue as a satellite, for callers that take one.
const SatelliteDefinition& BuiltInSatellite();

}  // namespace kelvarox
