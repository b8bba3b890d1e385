#pragma once
// A channel as a block translates it: its name, its unit, its translation equation
// Value = a*X^3 + b*X^2 + c*X + d and the limits of its values. The built-in catalogue defines
// every channel; whoever names a channel or translates its samples takes a definition, so that
// another source of definitions changes only the caller.
#include <cstdint>
#include <optional>
#include <string>

#include "core/ChannelCatalogue.h"

namespace kelvarox {

// The value limits of a channel; an absent one is not checked.
struct ChannelLimits {
    std::optional<double> redLow;
    std::optional<double> yellowLow;
    std::optional<double> yellowHigh;
    std::optional<double> redHigh;
    int32_t persistence = 1;  // consecutive samples beyond a limit before it counts
};

struct ChannelDefinition {
    std::string name;
    std::string unit;
    Coefficients equation;
    std::optional<ChannelLimits> limits;
};

// The built-in catalogue's definition of a channel: its name, unit and coefficient row, or
// "Raw Data", "Count" and the identity outside the catalogue; no limits.
ChannelDefinition BuiltInDefinition(int32_t channel);

}  // namespace kelvarox
