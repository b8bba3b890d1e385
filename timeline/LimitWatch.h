#pragma once
// The worst level beyond its limits of every channel that the satellite gives limits, across the
// whole archive, kept up to date as TraceFollower keeps a trace: the first Update reads each such
// channel's blocks once, later ones only the blocks that commits stored since; a block placed
// anew, or stored before the last one read, has its channel read again. It keeps per channel
// the finder's state, not the samples.
#include <map>
#include <memory>

#include "archive/Archive.h"
#include "core/DatedTranslation.h"
#include "timeline/Excursions.h"

namespace kelvarox::timeline {

class LimitWatch {
public:
    explicit LimitWatch(std::shared_ptr<const SatelliteDefinition> satellite);
    ~LimitWatch();

    // Reads what changed since the last Update; true when a channel's level changed.
    bool Update(archive::Archive& archive);
    // The channels with limits that the archive holds samples of, with their worst level.
    std::map<int32_t, LimitLevel> Levels() const;

private:
    struct Channel;
    // Reads the channel's blocks changed since its last read; false when one of them was
    // placed anew or lies before the last block read, and the channel must be read again.
    bool ReadChanged(archive::Archive& archive, int32_t number, Channel& channel);

    std::shared_ptr<const SatelliteDefinition> satellite_;
    std::map<int32_t, std::unique_ptr<Channel>> channels_;
};

}  // namespace kelvarox::timeline
