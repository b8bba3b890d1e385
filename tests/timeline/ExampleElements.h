#pragma once
// The orbital elements of the time line's tests: 2002-01-01 00:00 UTC (AmDay 8766) at orbit 60,
// 16 orbits a day, so that an orbit lasts 90 minutes.
#include "core/SatelliteDefinition.h"

namespace kelvarox::timeline {

inline ElementSet ExampleElements() {
    ElementSet elements;
    elements.epochAmDay = 8766;
    elements.revolution = 60;
    elements.meanMotion = 16;
    return elements;
}

inline SatelliteDefinition ExampleSatellite() { return SatelliteDefinition("Example-1", {}, {ExampleElements()}); }

}  // namespace kelvarox::timeline
