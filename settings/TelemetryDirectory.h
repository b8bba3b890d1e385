#pragma once
// Finding the telemetry directory at start-up from the capture program's settings.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/SettingsStore.h"

namespace kelvarox {

// Appended to the capture program's "Default Directory": its block files lie below it.
inline constexpr std::string_view kTelemetrySuffix = "/telemetry/";

inline constexpr std::string_view kDirectoryDialogCaption = "Kelvarox Cannot find Trelm or TrelmCC";
inline constexpr std::string_view kDirectoryDialogPrompt = "Enter directory for telemetry files";

// The modal text-input dialog with OK and Cancel, given its caption, prompt and offered text:
// the box's text, unchanged, on OK; nothing on Cancel or when the dialog is closed.
using AskForDirectory = std::function<std::optional<std::string>(const std::string& caption, const std::string& prompt,
                                                                 const std::string& offered)>;

// The directory the dialog offers: Trelm/telemetry in the user's home folder.
std::string DefaultTelemetryDirectory();

// The telemetry directory. The two capture-program keys are tried in turn (each opened, and
// so created, only when reached); a key counts when its "Default Directory" is not empty, and
// the directory is then that text followed by "/telemetry/", whether or not it exists. When
// neither counts, `ask` asks; Cancel gives the offered directory, OK the typed text as it is,
// so the result is empty only when the user emptied the dialog's box. An error of the store
// ends the search.
[[nodiscard]] std::string FindTelemetryDirectory(const SettingsStore& store, const AskForDirectory& ask);

}  // namespace kelvarox
