#pragma once
// The steps that the Graph and Table actions share: they take the main window's boxes as the
// user left them, parse them, and build the series of the block in memory.
#include <string>

#include "core/ChannelDefinition.h"
#include "core/SampleSeries.h"
#include "core/WodBlock.h"

namespace kelvarox {

// The texts of the main window's boxes that Graph and Table read: the channel boxes that the
// loader fills, and the Orbit HiByte box.
struct ChannelBoxTexts {
    std::string name;  // the channel's name
    std::string unit;
    std::string number;      // "Hex#": "#" and the channel in hexadecimal
    std::string a, b, c, d;  // the coefficients of a*X^3 + b*X^2 + c*X + d
    std::string orbitHiByte;
};

// The seven boxes that Load fills for a block of `channel` that `definition` translates: the
// name, the unit, the Hex# and the four coefficients (a, b and c with 5 significant digits
// and 5 decimals, d with 2 decimals). The Orbit HiByte box is not among them.
ChannelBoxTexts ChannelBoxTextsOf(int32_t channel, const ChannelDefinition& definition);

// What Graph and Table keep from one action to the next.
struct GraphAndTableState {
    Coefficients currentCoefficients;  // the translation in force: an empty coefficient box keeps its value
    SampleSeries series;               // the translated samples of the last Graph or Table
    ValueAxis axis;                    // the value scale of the last graph
};

// Coefficients from the four boxes into the translation in force, then the Hex# box and the
// Orbit HiByte box checked (each only when not empty; the block's orbits were placed by its
// Load), then the signature test and the series of `block` and `header`. Returns false,
// leaving the series as it was, when the block is no WOD block. Raises the conversion error
// of the first box that does not convert; the coefficients before it stay taken.
[[nodiscard]] bool PrepareSeries(const WodBlock& block, const BlockHeader& header, GraphAndTableState& state,
                                 const ChannelBoxTexts& boxes);

}  // namespace kelvarox
