#pragma once
// Everything the program remembers between two user actions, once per running program.
#include <cstdint>
#include <string>

#include "core/ChannelCatalogue.h"
#include "core/SampleSeries.h"
#include "core/WodBlock.h"

namespace kelvarox {

struct ProgramState {
    WodBlock Block;                 // the block buffer
    BlockHeader Header;             // values of the loaded block
    bool LoadFailed = false;        // the last load failed to read or was no WOD block
    std::string BlockFilePath;      // the file the next load reads
    BlockLayout Layout;             // where the header fields lie in a block
    int32_t OrbitHiByte = 0;        // high part of orbit numbers, as loaded from the settings
    int32_t OrbitBase = 0;          // OrbitHiByte x 256, added to the decoded orbit bytes
    Coefficients CurrentCoefficients;  // the translation in force, from the coefficient boxes
    SampleSeries Series;            // the translated samples of the last Graph or Table
    ValueAxis Axis;                 // the value scale of the last graph
    std::string TelemetryDirectory; // where the block files lie
    float DisplayScale = 1.0f;      // screen dots per inch / 96
};

}  // namespace kelvarox
