#pragma once
// The satellite in force for a command: the built-in catalogue, or the satellite file that
// --satellite, $KELVAROX_SATELLITE or the program's choice names, read and checked.
#include <optional>
#include <ostream>

#include "cli/CommandLine.h"
#include "core/DatedTranslation.h"
#include "core/SatelliteDefinition.h"

namespace kelvarox::cli {

// The satellite the options name. A file that cannot be read or has errors is reported, one
// error a line ("FILE:LINE:COLUMN: message"), and gives none: the command ends with status 1.
std::optional<SatelliteDefinition> SatelliteOf(const Options& options, std::ostream& err);

// Raises the usage error of --utc when the satellite has no orbital elements to time samples by.
void RequireElements(const SatelliteDefinition& satellite);

// A channel's translation under the satellite: the --coefficients typed, else the equation in
// force at each block's start date.
DatedTranslation TranslationOf(const SatelliteDefinition& satellite, int32_t channel, const Options& options);

}  // namespace kelvarox::cli
