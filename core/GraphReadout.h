#pragma once
// The graph window's read-out of orbit, mean anomaly and value under the mouse cursor.
#include <string>

#include "core/SampleSeries.h"
#include "core/WodBlock.h"

namespace kelvarox {

// The values of the graph on display that the read-out works from, kept when it was drawn,
// so that a later Load or Table does not change what the read-out shows.
struct ReadoutBasis {
    BlockHeader header;  // StartOrbit, MAStep and FirstMA of the drawn block
    int lastIndex = -1;  // last sample drawn; -1 before any graph or with no samples
    ValueAxis axis;
    float displayScale = 1.0f;
};

struct CursorReadout {
    std::string orbitMA;  // "orbit/MA" of the nearest sample
    std::string value;    // ValueText of the value at the cursor height
    bool operator==(const CursorReadout&) const = default;
};

// The read-out at the cursor position (x, y) in pixels relative to the image: the nearest
// sample (halfway going to the later one) and the value that the cursor's height stands
// for. Both texts are empty when the cursor is beyond half a sample step from the ends of
// the trace or outside the value axis. A single sample is read anywhere across the plot width.
CursorReadout ReadCursor(const ReadoutBasis& basis, int x, int y);

}  // namespace kelvarox
