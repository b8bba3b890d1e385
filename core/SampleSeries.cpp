#include "core/SampleSeries.h"

#include <cmath>
#include <limits>

#include "core/Conversions.h"
#include "core/WodBlock.h"

namespace kelvarox {

float ValueAxis::Level(int k) const {
    switch (k) {
        case 0:
            return axisMin;
        case 4:
            return axisMax;
        default:
            return axisMin + axisRange * (0.25f * static_cast<float>(k));
    }
}

void UpdateCoefficients(Coefficients& current, const std::string& a, const std::string& b, const std::string& c,
                        const std::string& d) {
    const std::string* texts[] = {&a, &b, &c, &d};
    float* targets[] = {&current.a, &current.b, &current.c, &current.d};
    for (int i = 0; i < 4; ++i) {
        if (!texts[i]->empty()) *targets[i] = FloatOrThrow(*texts[i]);
    }
}

float RoundToFloat(double value) {
    // Rounding to nearest as IEEE does: beyond the largest float, values below the halfway
    // point to the next power of two (2^128) round down to the largest float, the rest to
    // infinity (the tie goes to the even 2^128). Converting a value beyond the float range is
    // undefined, so both cases are explicit.
    constexpr float kLargest = std::numeric_limits<float>::max();  // 0x1.fffffep127
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    constexpr double kHalfway = 0x1.ffffffp127;  // 2^128 - 2^103
    const double magnitude = std::fabs(value);
    if (magnitude >= kHalfway) return value > 0 ? kInfinity : -kInfinity;
    if (magnitude > static_cast<double>(kLargest)) return value > 0 ? kLargest : -kLargest;
    return static_cast<float>(value);
}

float TranslateSample(const Coefficients& k, uint8_t raw) {
    const double x = raw;
    double v = ((static_cast<double>(k.a) * x) * x) * x + (static_cast<double>(k.b) * x) * x;
    v += static_cast<double>(k.c) * x;
    v += static_cast<double>(k.d);
    return RoundToFloat(v);
}

SampleSeries BuildSeries(const WodBlock& block, const BlockHeader& header, const Coefficients& k) {
    SampleSeries s;
    s.count = header.SampleCount();
    for (int i = 0; i < s.count; ++i) {
        const float v = TranslateSample(k, block.RawSample(i));
        s.sampleValue[static_cast<size_t>(i)] = v;
        if (v > s.dataMax) s.dataMax = v;
        if (v < s.dataMin) s.dataMin = v;
    }
    return s;
}

namespace {

// The remainder of the integer part divided by 4, sign of the dividend; exact for every float.
bool MultipleOfFour(float v) { return std::fmod(std::trunc(static_cast<double>(v)), 4.0) == 0.0; }

}  // namespace

ValueAxis ScaleValueAxis(float dataMax, float dataMin) {
    ValueAxis axis;
    axis.axisMax = std::ceil(dataMax);
    axis.axisMin = std::floor(dataMin);
    // Finite floats reach a multiple of 4 within a few steps: from 2^24 on every step of one
    // lands on an even number, and from 2^26 on every float is a multiple of 4 already.
    if (std::isfinite(axis.axisMax)) {
        while (!MultipleOfFour(axis.axisMax)) axis.axisMax += 1.0f;
    }
    if (std::isfinite(axis.axisMin)) {
        while (!MultipleOfFour(axis.axisMin)) axis.axisMin -= 1.0f;
    }
    if (axis.axisMax == axis.axisMin) {
        axis.axisMax += 4.0f;
        axis.axisMin -= 4.0f;
    }
    axis.axisRange = axis.axisMax - axis.axisMin;
    return axis;
}

namespace {

int32_t GraphMA(const BlockHeader& h, int i) { return WrapAdd(WrapMul(i, h.maStep), h.firstMA); }

}  // namespace

int32_t SampleMA(const BlockHeader& header, int i) { return GraphMA(header, i) % 256; }

OrbitMA SamplePosition(const BlockHeader& header, int i) {
    const int32_t ma = GraphMA(header, i);
    if (ma < 256) return {header.startOrbit, ma};
    return {WrapAdd(header.startOrbit, ma / 256), ma % 256};
}

int32_t OrbitSpan(const BlockHeader& header) { return WrapSub(header.endOrbit, header.startOrbit); }

RowPosition::RowPosition(const BlockHeader& header)
    : step_(header.maStep), orbit_(header.startOrbit), base_(header.startMA) {}

std::vector<MATick> SelectMATicks(const BlockHeader& header) {
    std::vector<MATick> ticks;
    const int count = header.SampleCount();
    const int32_t span = OrbitSpan(header);
    auto pass = [&](std::initializer_list<std::pair<int32_t, const char*>> marks) {
        for (int i = 0; i < count; ++i) {
            const int32_t ma = SampleMA(header, i);
            for (const auto& [value, label] : marks) {
                if (ma == value) ticks.push_back({i, label});
            }
        }
    };
    pass({{0, "0"}});
    if (span < 8) pass({{128, "128"}});
    if (span < 6) pass({{64, " 64"}, {192, "192"}});
    if (span < 2) pass({{32, " 32"}, {96, " 96"}, {160, "160"}, {224, "224"}});
    return ticks;
}

}  // namespace kelvarox
