#include "settings/SettingsMessages.h"

namespace kelvarox::msg {

std::string InvalidDataType(const std::string& valueName) { return "Invalid data type for '" + valueName + "'"; }
std::string FailedToSetData(const std::string& valueName) { return "Failed to set data for '" + valueName + "'"; }
std::string SettingsFileHeld(const std::string& valueName) {
    return FailedToSetData(valueName) + ": another program holds the settings file";
}

}  // namespace kelvarox::msg
