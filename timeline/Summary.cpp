#include "timeline/Summary.h"

#include <algorithm>
#include <cmath>

namespace kelvarox::timeline {

void Summary::Add(float value) {
    if (count == 0) {
        min = max = value;
    } else {
        min = std::min(min, value);
        max = std::max(max, value);
    }
    ++count;
    const double delta = value - mean;
    mean += delta / static_cast<double>(count);
    m2 += delta * (value - mean);
}

void Summary::Merge(const Summary& other) {
    if (other.count == 0) return;
    if (count == 0) {
        *this = other;
        return;
    }
    const double n = static_cast<double>(count), m = static_cast<double>(other.count);
    const double delta = other.mean - mean;
    mean += delta * m / (n + m);
    m2 += other.m2 + delta * delta * n * m / (n + m);
    min = std::min(min, other.min);
    max = std::max(max, other.max);
    count += other.count;
}

double Summary::StandardDeviation() const {
    if (count == 0 || !(m2 > 0)) return 0;
    return std::sqrt(m2 / static_cast<double>(count));
}

}  // namespace kelvarox::timeline
