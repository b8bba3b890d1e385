#include "settings/WindowPosition.h"

#include <string>

#include "core/Errors.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsMessages.h"

namespace kelvarox {

namespace {

std::string TopName(std::string_view prefix) { return std::string(prefix) + " Top"; }
std::string LeftName(std::string_view prefix) { return std::string(prefix) + " Left"; }

}  // namespace

WindowPosition RestoreWindowPosition(const SettingsStore& store, std::string_view prefix) {
    SettingsKey key(store);
    // A key that cannot be added holds no position: the window takes the default one.
    if (!key.OpenSettingsKey(std::string(kPositionKey))) return WindowPosition{};
    WindowPosition position;
    position.top = key.ReadSettingNumber(TopName(prefix), kWindowPositionDefault);
    position.left = key.ReadSettingNumber(LeftName(prefix), kWindowPositionDefault);
    return position;
}

void SaveWindowPosition(const SettingsStore& store, std::string_view prefix, const WindowPosition& position,
                        WindowState state) {
    if (state != WindowState::Normal) return;
    SettingsKey key(store);
    if (!key.OpenSettingsKey(std::string(kPositionKey))) throw KelvaroxError(msg::FailedToSetData(TopName(prefix)));
    // Both in one write: two copies closing at once never store the top of one and the left
    // of the other.
    key.WriteSettingTexts(
        {{TopName(prefix), std::to_string(position.top)}, {LeftName(prefix), std::to_string(position.left)}});
}

}  // namespace kelvarox
