#pragma once
// Which satellite file is in force, for the windows and the command line alike: the one a
// command names, else the one $KELVAROX_SATELLITE names, else the one chosen in the program
// (kept in the program's own settings key), else the built-in catalogue.
#include <optional>
#include <string>
#include <string_view>

#include "settings/SettingsStore.h"

namespace kelvarox {

inline constexpr std::string_view kSatelliteEnvironment = "KELVAROX_SATELLITE";

struct SatelliteInForce {
    enum class Source { BuiltIn, Option, Environment, Settings };
    Source source = Source::BuiltIn;
    std::string path;  // empty for the built-in catalogue
};

// The file chosen in the program; empty for the built-in catalogue. Reads without writing.
[[nodiscard]] std::string ReadSatelliteChoice(const SettingsStore& store);
// Keeps the program's choice; an empty path goes back to the built-in catalogue.
void SaveSatelliteChoice(const SettingsStore& store, const std::string& path);

// The satellite file in force, given the path a command names (if any). `store` may be null
// when there is no settings file.
[[nodiscard]] SatelliteInForce FindSatelliteInForce(const std::optional<std::string>& option,
                                                    const SettingsStore* store);

}  // namespace kelvarox
