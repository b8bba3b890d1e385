#pragma once
// The messages of the settings store, word for word as the user reads them.
#include <string>

namespace kelvarox::msg {

std::string InvalidDataType(const std::string& valueName);  // Invalid data type for '%s'
std::string FailedToSetData(const std::string& valueName);  // Failed to set data for '%s'
// Failed to set data for '%s': another program holds the settings file
std::string SettingsFileHeld(const std::string& valueName);

}  // namespace kelvarox::msg
