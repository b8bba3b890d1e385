#pragma once
// The translated samples of a block, their place on the orbit / mean-anomaly axis, the value
// scale of the graph and the marks of its orbit axis.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ChannelCatalogue.h"
#include "core/WodBlock.h"

namespace kelvarox {

struct SampleSeries {
    std::array<float, kSeriesCapacity> sampleValue{};
    int count = 0;             // samples 0 to count - 1 are valid
    float dataMax = -1000.0f;  // largest value, never below -1000
    float dataMin = 1000.0f;   // smallest value, never above +1000
};

struct ValueAxis {
    float axisMax = 0.0f;
    float axisMin = 0.0f;
    float axisRange = 0.0f;
    // Level k = axisMin + axisRange * k / 4 for k = 0 to 4.
    float Level(int k) const;
};

// A mark of the graph's orbit axis: a sample index and its label.
struct MATick {
    int index = 0;
    std::string label;
    bool operator==(const MATick&) const = default;
};

struct OrbitMA {
    int32_t orbit = 0;
    int32_t ma = 0;
    bool operator==(const OrbitMA&) const = default;
};

// Takes the texts of the four coefficient boxes in the order a, b, c, d: an empty text leaves
// its coefficient as it is, any other is parsed; the first text that is no number raises its
// error with the coefficients before it already changed.
void UpdateCoefficients(Coefficients& current, const std::string& a, const std::string& b, const std::string& c,
                        const std::string& d);

// A double rounded to the nearest float, as IEEE rounds: infinite (of its sign) only from the
// halfway point between the largest float and 2^128 on.
float RoundToFloat(double value);

// Value of one raw sample: ((a*X)*X)*X + (b*X)*X, then + c*X, then + d, in double, rounded to float.
float TranslateSample(const Coefficients& k, uint8_t raw);

// Translates every sample of the block (at most 384) and finds the extremes.
SampleSeries BuildSeries(const WodBlock& block, const BlockHeader& header, const Coefficients& k);

// The graph's value scale: the extremes rounded outward to whole multiples of 4. A range that
// would be 0 is widened by 4 on both sides. Non-finite extremes stay as they are.
ValueAxis ScaleValueAxis(float dataMax, float dataMin);

// Mean anomaly of sample i on the graph axis: (i * maStep + firstMA) mod 256.
int32_t SampleMA(const BlockHeader& header, int i);
// Orbit and mean anomaly of sample i for the graph's cursor read-out.
OrbitMA SamplePosition(const BlockHeader& header, int i);
// endOrbit - startOrbit.
int32_t OrbitSpan(const BlockHeader& header);

// Orbit and mean anomaly of the table's rows, produced row by row from row 0 upward.
class RowPosition {
public:
    explicit RowPosition(const BlockHeader& header);
    // Position of the next row (rows 0, 1, 2, ... in this order).
    OrbitMA Next() {
        int32_t ma = WrapAdd(WrapMul(row_, step_), base_);
        if (ma >= 256) {
            ma -= 256;
            orbit_ = WrapAdd(orbit_, 1);
            base_ -= 256;
        }
        ++row_;
        return {orbit_, ma};
    }

private:
    int32_t step_;
    int32_t orbit_;
    int32_t base_;
    int32_t row_ = 0;
};

// The marks of the graph's orbit axis, denser for shorter orbit spans.
std::vector<MATick> SelectMATicks(const BlockHeader& header);

}  // namespace kelvarox
