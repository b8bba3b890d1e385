#pragma once
// What one orbit of one channel holds: the number of its samples and the minimum, maximum, sum
// and sum of squares of their translated values. The archive keeps them per channel and absolute
// orbit; the time line draws years from them without reading a sample.
#include <cmath>
#include <cstdint>
#include <span>

namespace kelvarox {

struct OrbitStatistics {
    int64_t orbit = 0;
    int64_t samples = 0;
    float min = INFINITY;
    float max = -INFINITY;
    double sum = 0;
    double sumSquares = 0;

    void Add(float value) {
        ++samples;
        min = std::fmin(min, value);
        max = std::fmax(max, value);
        sum += value;
        sumSquares += static_cast<double>(value) * value;
    }
    // Add of each of `finite`, which are all finite, bit for bit. Only between zeros do fmin and
    // fmax have a choice to make (of the sign): that choice is taken from them once, and every
    // value is placed without a branch.
    void AddFinite(std::span<const float> finite);
    double Mean() const { return sum / static_cast<double>(samples); }
    bool operator==(const OrbitStatistics&) const = default;
};

}  // namespace kelvarox
