#pragma once
// A satellite of the tests: it flies a fixed number of orbits a day, and blocks are taken at
// random times. What it says is the truth the orbit placement must find.
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace kelvarox::testing {

struct TruePass {
    int32_t amDay = 0;
    int64_t orbit = 0;  // absolute
    int32_t ma = 0;     // 0 to 255
};

struct Satellite {
    double orbitsPerDay = 14.3;
    int64_t firstOrbit = 0;  // at 0:00 of firstDay
    int32_t firstDay = 8766;

    TruePass At(double days) const {
        const double orbits = static_cast<double>(firstOrbit) + days * orbitsPerDay;
        const double whole = std::floor(orbits);
        return {firstDay + static_cast<int32_t>(std::floor(days)), static_cast<int64_t>(whole),
                static_cast<int32_t>((orbits - whole) * 256)};
    }

    // `perDay` blocks at random times of every day from `fromDay` up to (not including) `toDay`,
    // counted from firstDay.
    std::vector<TruePass> Blocks(int fromDay, int toDay, int perDay, std::mt19937& random) const {
        std::uniform_real_distribution<double> time(0.0, 0.999);
        std::vector<TruePass> passes;
        for (int day = fromDay; day < toDay; ++day)
            for (int n = 0; n < perDay; ++n) passes.push_back(At(day + time(random)));
        return passes;
    }
};

}  // namespace kelvarox::testing
