#pragma once
// The stored positions of the main, graph and setup windows (the prefixes of SettingsNames.h).
#include <cstdint>
#include <string_view>

#include "settings/SettingsNames.h"
#include "settings/SettingsStore.h"

namespace kelvarox {

// A window's outer top-left corner in screen pixels.
struct WindowPosition {
    int32_t top = kWindowPositionDefault;
    int32_t left = kWindowPositionDefault;
    bool operator==(const WindowPosition&) const = default;
};

// Only a window in its normal state has a position worth keeping.
enum class WindowState { Normal, MinimizedOrMaximized };

// The stored top and left of the window whose values begin with `prefix`, each 20 when none
// is stored.
[[nodiscard]] WindowPosition RestoreWindowPosition(const SettingsStore& store, std::string_view prefix);

// Stores the top and the left of a window in its normal state, both in one write; a minimized
// or maximized window writes nothing.
void SaveWindowPosition(const SettingsStore& store, std::string_view prefix, const WindowPosition& position,
                        WindowState state);

}  // namespace kelvarox
