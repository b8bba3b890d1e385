#include "core/OrbitStatistics.h"

#include <array>
#include <bit>

namespace kelvarox {

namespace {

uint32_t Bits(float value) { return std::bit_cast<uint32_t>(value); }

// What fmin and fmax give for two zeros, by the sign bits of their first and second argument
// (index 2 * first + second). Taken at run time from the library that Add calls.
struct ZeroChoices {
    std::array<uint32_t, 4> min, max;
    ZeroChoices() {
        volatile float zeros[2] = {0.0f, -0.0f};
        for (int a = 0; a < 2; ++a)
            for (int b = 0; b < 2; ++b) {
                min[2 * a + b] = Bits(std::fmin(zeros[a], zeros[b]));
                max[2 * a + b] = Bits(std::fmax(zeros[a], zeros[b]));
            }
    }
};

// The extreme `kept` becomes with `value`: `beyond` when value lies beyond it, the library's
// choice between two zeros, `kept` otherwise.
float Extreme(float kept, float value, bool beyond, const std::array<uint32_t, 4>& zeroChoice) {
    const uint32_t k = Bits(kept), v = Bits(value);
    const bool zeros = ((k | v) << 1) == 0;
    const float placed = beyond ? value : kept;
    return zeros ? std::bit_cast<float>(zeroChoice[(k >> 31) * 2 + (v >> 31)]) : placed;
}

}  // namespace

void OrbitStatistics::AddFinite(std::span<const float> finite) {
    static const ZeroChoices choices;
    float lo = min, hi = max;
    double s = sum, squares = sumSquares;
    for (const float value : finite) {
        lo = Extreme(lo, value, value < lo, choices.min);
        hi = Extreme(hi, value, value > hi, choices.max);
        s += value;
        squares += static_cast<double>(value) * value;
    }
    samples += static_cast<int64_t>(finite.size());
    min = lo;
    max = hi;
    sum = s;
    sumSquares = squares;
}

}  // namespace kelvarox
