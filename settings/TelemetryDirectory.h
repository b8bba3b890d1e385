#pragma once
// Finding the telemetry directory at start-up from the capture program's settings.
#include <string>

#include "core/ProgramState.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsViews.h"

namespace kelvarox {

// Appended to the capture program's "Default Directory": its block files lie below it.
inline constexpr std::string_view kTelemetrySuffix = "/telemetry/";

inline constexpr std::string_view kDirectoryDialogCaption = "Kelvarox Cannot find Trelm or TrelmCC";
inline constexpr std::string_view kDirectoryDialogPrompt = "Enter directory for telemetry files";

// The directory the dialog offers: Trelm/telemetry in the user's home folder.
std::string DefaultTelemetryDirectory();

// Sets state.TelemetryDirectory and points the file list at it. The two capture-program keys
// are tried in turn (each opened, and so created, only when reached); a key counts when its
// "Default Directory" is not empty, and its directory is then that text followed by
// "/telemetry/", taken whether or not it exists. When neither counts, the dialog asks; Cancel
// gives the offered directory, OK the typed text as it is, and an empty text leaves the file
// list where it was. Errors of the file list and of the store end the search where it is.
void FindTelemetryDirectory(const SettingsStore& store, ProgramState& state, TelemetryDirectoryView& view);

}  // namespace kelvarox
