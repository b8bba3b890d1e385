#pragma once
// The steps that the Graph and Table actions share: they take the main window's boxes as the
// user left them, parse them, and build the series of the block in memory.
#include <string>

#include "core/ProgramState.h"

namespace kelvarox {

// The texts of the main window's boxes that Graph and Table read.
struct MainBoxTexts {
    std::string name;         // Edit1, channel name
    std::string unit;         // Edit6
    std::string number;       // Edit9, "Hex#"
    std::string a, b, c, d;   // Edit2, Edit3, Edit7, Edit8
    std::string orbitHiByte;  // Edit5
};

// Coefficients from the four boxes, the channel number from the Hex# box and OrbitBase from
// the Orbit HiByte box (both only when not empty), then the signature test and the series.
// Returns false, leaving the series as it was, when the block in memory is no WOD block.
// Raises the conversion error of the first box that does not convert.
bool PrepareSeries(ProgramState& state, const MainBoxTexts& boxes);

}  // namespace kelvarox
