#pragma once
// One block loaded the way the main window's Load button loads it, with the boxes it fills.
#include <string>

#include "cli/CommandLine.h"
#include "core/Actions.h"
#include "core/ProgramState.h"

namespace kelvarox::cli {

struct LoadedBlock {
    ProgramState state;
    MainBoxTexts boxes;  // as Load left them, with the --coefficients texts typed over
    std::string error;   // the first message of a load that failed; empty on success
    bool ok() const { return error.empty(); }
};

LoadedBlock LoadBlock(const std::string& path, const Options& options);
// The load, then the series as Graph and Table build it from the boxes.
LoadedBlock LoadBlockWithSeries(const std::string& path, const Options& options);

}  // namespace kelvarox::cli
