#pragma once
// The stored positions of the main, graph and setup windows ("Form1", "Form2", "Form3").
#include <string_view>

#include "settings/SettingsStore.h"
#include "settings/SettingsViews.h"

namespace kelvarox {

// Moves the window to its stored top, then its stored left (20 and 20 when none is stored).
void RestoreWindowPosition(const SettingsStore& store, PositionedWindow& window, std::string_view prefix);

// Stores the window's top and left, in that order, when the window is in its normal state;
// a minimized or maximized window writes nothing.
void SaveWindowPosition(const SettingsStore& store, const PositionedWindow& window, std::string_view prefix);

}  // namespace kelvarox
