#include "settings/WindowPosition.h"

#include <string>

#include "settings/SettingsKey.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

namespace {

std::string TopName(std::string_view prefix) { return std::string(prefix) + " Top"; }
std::string LeftName(std::string_view prefix) { return std::string(prefix) + " Left"; }

}  // namespace

void RestoreWindowPosition(const SettingsStore& store, PositionedWindow& window, std::string_view prefix) {
    SettingsKey key(store);
    key.OpenSettingsKey(std::string(kPositionKey));
    window.SetTop(key.ReadSettingNumber(TopName(prefix), kWindowPositionDefault));
    window.SetLeft(key.ReadSettingNumber(LeftName(prefix), kWindowPositionDefault));
}

void SaveWindowPosition(const SettingsStore& store, const PositionedWindow& window, std::string_view prefix) {
    if (!window.IsInNormalState()) return;
    SettingsKey key(store);
    key.OpenSettingsKey(std::string(kPositionKey));
    key.WriteSettingText(TopName(prefix), std::to_string(window.Top()));
    key.WriteSettingText(LeftName(prefix), std::to_string(window.Left()));
}

}  // namespace kelvarox
