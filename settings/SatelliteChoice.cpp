#include "settings/SatelliteChoice.h"

#include <cstdlib>

#include "core/Errors.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

std::string ReadSatelliteChoice(const SettingsStore& store) {
    SettingsKey key(store);
    if (!key.OpenSettingsKeyForReading(std::string(kSatelliteKey))) return {};
    try {
        return key.ReadSettingText(std::string(kSatelliteFileValue));
    } catch (const KelvaroxError&) {
        return {};  // a value of another type names no file
    }
}

void SaveSatelliteChoice(const SettingsStore& store, const std::string& path) {
    SettingsKey key(store);
    const std::string name(kSatelliteFileValue);
    if (!key.OpenSettingsKey(std::string(kSatelliteKey))) throw KelvaroxError(msg::FailedToSetData(name));
    key.WriteSettingText(name, path);
}

SatelliteInForce FindSatelliteInForce(const std::optional<std::string>& option, const SettingsStore* store) {
    using Source = SatelliteInForce::Source;
    if (option) return {Source::Option, *option};
    if (const char* env = std::getenv(std::string(kSatelliteEnvironment).c_str()); env && *env)
        return {Source::Environment, env};
    if (store) {
        if (std::string chosen = ReadSatelliteChoice(*store); !chosen.empty()) return {Source::Settings, chosen};
    }
    return {};
}

}  // namespace kelvarox
