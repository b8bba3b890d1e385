#pragma once
// The setup window's view of the block layout: filling its boxes and saving them.
#include "core/WodBlock.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsViews.h"

namespace kelvarox {

// Fills each box with its field's decimal text; a box whose field is 0 keeps its text.
// The store is not read.
void ShowBlockLayout(const BlockLayout& layout, SetupWindowView& setup);

// For each box in order: converts its text strictly ("'%s' is not a valid integer value"),
// puts the number into the live layout at once and stores it as decimal text. The first
// failure ends the save there, the earlier boxes applied and stored and the window left
// open; when all eight are saved the setup window is hidden.
void SaveBlockLayout(const SettingsStore& store, BlockLayout& layout, SetupWindowView& setup);

}  // namespace kelvarox
