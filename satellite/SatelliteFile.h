#pragma once
// The satellite file: one TOML file a user edits by hand that tells the program the channels'
// names, units, equations and limits (by date) and the satellite's orbital elements. Every
// error, of form or of meaning, names the file, line and column.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/SatelliteDefinition.h"

namespace kelvarox {

inline constexpr int kSatelliteFileFormat = 1;

// One error or warning at a place in the file; line and column are 0 when it has no place
// (a file that cannot be read).
struct SatelliteFileMessage {
    std::string file;
    int line = 0;
    int column = 0;
    std::string text;
    // "FILE:LINE:COLUMN: text", a warning's text beginning with "warning: ".
    std::string ToString(bool warning = false) const;
};

struct SatelliteFileResult {
    std::optional<SatelliteDefinition> satellite;  // set when there is no error
    std::vector<SatelliteFileMessage> errors;
    std::vector<SatelliteFileMessage> warnings;
};

// Reads and checks the file at `path`.
SatelliteFileResult ReadSatelliteFile(const std::string& path);
// Checks the text of a satellite file; `fileName` names it in the messages.
SatelliteFileResult ParseSatelliteText(std::string_view text, const std::string& fileName);

// "satellite NAME: 3 channels, 2 entries with limits, 1 element set" (without "satellite NAME: "
// when the file names none).
std::string SatelliteSummary(const SatelliteDefinition& satellite);

// The built-in catalogue as a satellite file: all channels 0x100 to 0x17F with their names,
// units and equations, the numbers written so that they read back as the same values.
std::string BuiltInSatelliteFile();

}  // namespace kelvarox
