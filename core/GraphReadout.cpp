#include "core/GraphReadout.h"

#include <cmath>

#include "core/FixedText.h"
#include "core/GraphGeometry.h"

namespace kelvarox {

using namespace graph;

CursorReadout ReadCursor(const ReadoutBasis& basis, int x, int y) {
    const int last = basis.lastIndex;
    if (last < 0) return {};
    const double scale = basis.displayScale;
    const double designX = x / scale;
    // Each test is written so that NaN (a scale of 0) fails it.
    double index = 0.0;
    if (last == 0) {
        if (!(designX >= kPlotLeft && designX <= kPlotRight)) return {};
    } else {
        const double step = static_cast<double>(kPlotWidth) / last;
        index = std::floor((designX - kPlotLeft) / step + 0.5);
        if (!(index >= 0.0 && index <= last)) return {};
    }
    const double designY = y / scale;
    const float value =
        RoundToFloat((kPlotBottom - designY) * (1.0 / kPlotHeight) * basis.axis.axisRange + basis.axis.axisMin);
    if (!(basis.axis.axisMin <= value && value <= basis.axis.axisMax)) return {};
    const OrbitMA at = SamplePosition(basis.header, static_cast<int>(index));
    return {std::to_string(at.orbit) + "/" + std::to_string(at.ma), ValueText(value)};
}

}  // namespace kelvarox
