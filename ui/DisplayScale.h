#pragma once
// The ratio of the screen's logical dots per inch to 96, by which the graph scales what it draws.

namespace kelvarox {

inline float DisplayScaleFor(double dotsPerInch) {
    if (dotsPerInch == 96.0) return 1.0f;
    return static_cast<float>(dotsPerInch * (1.0 / 96.0));
}

}  // namespace kelvarox
