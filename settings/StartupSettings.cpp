#include "settings/StartupSettings.h"

#include "core/Errors.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

namespace {

StoredStartupSettings ReadStartupValues(const SettingsKey& key) {
    StoredStartupSettings stored;
    auto read = [&](std::string_view name, int32_t fallback) {
        try {
            return key.ReadSettingNumber(std::string(name), fallback);
        } catch (const KelvaroxError& error) {
            if (stored.Error.empty()) stored.Error = error.what();
            return fallback;
        }
    };
    const BlockLayout defaults = BlockLayout::Defaults();
    for (int i = 0; i < BlockLayout::kFieldCount; ++i) {
        const int32_t fallback = defaults.Field(i);
        const int32_t address = read(kLayoutValueNames[static_cast<size_t>(i)], fallback);
        // A hand-edited address outside the block counts as no integer.
        const bool inBlock = address >= kLowestAddress && address <= kHighestAddress;
        stored.Layout.Field(i) = inBlock ? address : fallback;
    }
    stored.OrbitHiByte = read(kOrbitOffsetValue, kOrbitOffsetDefault);
    return stored;
}

}  // namespace

void LoadStartupSettings(const SettingsStore& store, ProgramState& state, TextBox& orbitHiByteBox) {
    SettingsKey key(store);
    key.OpenSettingsKey(std::string(kStartupKey));
    const StoredStartupSettings stored = ReadStartupValues(key);
    state.Layout = stored.Layout;
    state.OrbitHiByte = stored.OrbitHiByte;
    orbitHiByteBox.SetText(std::to_string(state.OrbitHiByte));
    if (!stored.Error.empty()) throw KelvaroxError(stored.Error);
}

void SaveOrbitHiByte(const SettingsStore& store, const TextBox& orbitHiByteBox) {
    SettingsKey key(store);
    key.OpenSettingsKey(std::string(kStartupKey));
    key.WriteSettingText(std::string(kOrbitOffsetValue), orbitHiByteBox.Text());
}

StoredStartupSettings ReadStoredStartupSettings(const SettingsStore& store) {
    SettingsKey key(store);
    key.OpenSettingsKeyForReading(std::string(kStartupKey));
    return ReadStartupValues(key);
}

}  // namespace kelvarox
