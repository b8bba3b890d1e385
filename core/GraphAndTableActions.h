#pragma once
// The steps that the Graph and Table actions share: they take the main window's boxes as the
// user left them, parse them, and build the series of the block in memory.
#include <string>

#include "core/ProgramState.h"

namespace kelvarox {

// The texts of the main window's boxes that Graph and Table read: the channel boxes that the
// loader fills, and the Orbit HiByte box.
struct ChannelBoxTexts {
    std::string name;         // the channel's name
    std::string unit;
    std::string number;       // "Hex#": "#" and the channel in hexadecimal
    std::string a, b, c, d;   // the coefficients of a*X^3 + b*X^2 + c*X + d
    std::string orbitHiByte;
};

// Coefficients from the four boxes, the channel number from the Hex# box and OrbitBase from
// the Orbit HiByte box (both only when not empty), then the signature test and the series.
// Returns false, leaving the series as it was, when the block in memory is no WOD block.
// Raises the conversion error of the first box that does not convert.
[[nodiscard]] bool PrepareSeries(ProgramState& state, const ChannelBoxTexts& boxes);

}  // namespace kelvarox
