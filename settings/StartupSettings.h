#pragma once
// The block layout and the orbit offset: loaded when the main window is created, the offset
// saved when it closes, and read without any write for the command line.
#include <cstdint>
#include <string>

#include "core/WodBlock.h"
#include "settings/SettingsStore.h"

namespace kelvarox {

// The nine values of the startup key as stored, each falling back to its default when
// missing, no integer, or (for an address) outside 0 to 511.
struct StoredStartupSettings {
    BlockLayout layout;
    int32_t orbitHiByte = 0;
    // The first value of a type that is not text ("Invalid data type for '...'"); that value
    // took its default and the others were read all the same. Empty when all nine could be read.
    std::string error;
};

// Opens the startup key, adding it to the file when it is missing, and reads the nine values.
[[nodiscard]] StoredStartupSettings LoadStartupSettings(const SettingsStore& store);

// Stores the Orbit HiByte box's text, unchanged, as "Orbit Offset".
void SaveOrbitHiByte(const SettingsStore& store, const std::string& orbitHiByteText);

// The same nine values, read without adding any key or writing the file.
[[nodiscard]] StoredStartupSettings ReadStoredStartupSettings(const SettingsStore& store);

}  // namespace kelvarox
