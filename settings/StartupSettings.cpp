#include "settings/StartupSettings.h"

#include "core/Errors.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

namespace {

StoredStartupSettings ReadStartupValues(const SettingsKey& key) {
    StoredStartupSettings stored;
    auto read = [&](std::string_view name, int32_t fallback) {
        try {
            return key.ReadSettingNumber(std::string(name), fallback);
        } catch (const KelvaroxError& error) {
            if (stored.error.empty()) stored.error = error.what();
            return fallback;
        }
    };
    const BlockLayout defaults = BlockLayout::Defaults();
    for (int i = 0; i < BlockLayout::kFieldCount; ++i) {
        const int32_t fallback = defaults.Field(i);
        const int32_t address = read(kLayoutValueNames[static_cast<size_t>(i)], fallback);
        // A hand-edited address outside the block counts as no integer.
        const bool inBlock = address >= 0 && address <= kLastBlockByte;
        stored.layout.Field(i) = inBlock ? address : fallback;
    }
    stored.orbitHiByte = read(kOrbitOffsetValue, kOrbitOffsetDefault);
    return stored;
}

}  // namespace

StoredStartupSettings LoadStartupSettings(const SettingsStore& store) {
    SettingsKey key(store);
    // A key that cannot be added holds no value: every value takes its default.
    if (!key.OpenSettingsKey(std::string(kStartupKey))) return StoredStartupSettings{};
    return ReadStartupValues(key);
}

void SaveOrbitHiByte(const SettingsStore& store, const std::string& orbitHiByteText) {
    SettingsKey key(store);
    const std::string name(kOrbitOffsetValue);
    if (!key.OpenSettingsKey(std::string(kStartupKey))) throw KelvaroxError(msg::FailedToSetData(name));
    key.WriteSettingText(name, orbitHiByteText);
}

StoredStartupSettings ReadStoredStartupSettings(const SettingsStore& store) {
    SettingsKey key(store);
    // A missing key reads as empty: every value takes its default.
    (void)key.OpenSettingsKeyForReading(std::string(kStartupKey));
    return ReadStartupValues(key);
}

}  // namespace kelvarox
