#pragma once
// The time line's channel list beyond the archive's channels: the filter typed above it, and
// the channels it names that have no blocks in the archive, greyed below a heading of their own
// where they cannot be selected.
#include <QString>
#include <QTreeWidget>
#include <cstdint>
#include <vector>

#include "core/SatelliteDefinition.h"

namespace kelvarox {

// The role of an item's channel number; the heading has none.
inline constexpr int kChannelRole = Qt::UserRole;

// Adds the heading and the channels, in number order, with the satellite's names and units.
void AddChannelsWithoutBlocks(QTreeWidget* list, const std::vector<int32_t>& channels,
                              const SatelliteDefinition* satellite);

// The channels the satellite file names; they are listed when the archive has no blocks of them.
std::vector<int32_t> SatelliteChannels(const SatelliteDefinition* satellite);

// Hides the channels that do not match `filter`, and the heading when none below it shows.
// Selected channels stay selected while hidden.
void FilterChannels(QTreeWidget* list, const QString& filter);

}  // namespace kelvarox
