#pragma once
// The time line window's layout kept in the program's own settings key between two runs, and
// the layout files used last.
#include <optional>
#include <string>
#include <vector>

#include "settings/SettingsStore.h"
#include "settings/TimeLineLayout.h"

namespace kelvarox {

// The layout kept at the last close; nothing when none is kept or it cannot be read.
[[nodiscard]] std::optional<TimeLineLayout> ReadKeptLayout(const SettingsStore& store);
void SaveKeptLayout(const SettingsStore& store, const TimeLineLayout& layout);

// The layout files opened or saved last, the latest first.
[[nodiscard]] std::vector<std::string> ReadRecentLayouts(const SettingsStore& store);
// Puts `path` first among them; the oldest beyond kRecentLayouts goes.
void AddRecentLayout(const SettingsStore& store, const std::string& path);

}  // namespace kelvarox
