#pragma once
// The block layout and the orbit offset: loaded when the main window is created, the offset
// saved when it closes, and a read-only view of both for the command line.
#include <cstdint>
#include <string>

#include "core/ProgramState.h"
#include "core/WodBlock.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsViews.h"

namespace kelvarox {

// The nine values of the startup key as stored, each falling back to its default when
// missing, no integer, or (for an address) outside 0 to 511.
struct StoredStartupSettings {
    BlockLayout Layout;
    int32_t OrbitHiByte = 0;
    // The first value of a type that is not text ("Invalid data type for '...'"); that value
    // took its default. Empty when all nine could be read.
    std::string Error;
};

// Loads the nine values into state.Layout and state.OrbitHiByte, in order, then shows
// OrbitHiByte as decimal text in the Orbit HiByte box. A value of a type that is not text
// takes its default, the load goes on, and the first such error is raised at the end, so
// the layout and the offset always hold stored or default values.
void LoadStartupSettings(const SettingsStore& store, ProgramState& state, TextBox& orbitHiByteBox);

// Stores the Orbit HiByte box's text, unchanged, as "Orbit Offset".
void SaveOrbitHiByte(const SettingsStore& store, const TextBox& orbitHiByteBox);

// The same nine values, read without adding any key or writing the file.
StoredStartupSettings ReadStoredStartupSettings(const SettingsStore& store);

}  // namespace kelvarox
