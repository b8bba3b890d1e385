#pragma once
// The setup window's view of the block layout: the texts of its boxes, and saving them.
#include <array>
#include <optional>
#include <string>

#include "core/WodBlock.h"
#include "settings/SettingsStore.h"

namespace kelvarox {

// The texts of the eight boxes, in field order.
using BlockLayoutTexts = std::array<std::string, BlockLayout::kFieldCount>;

// What the eight boxes show for a layout, in field order: each field's decimal text; nothing
// for a field of 0, whose box keeps the text it has. The store is not read.
[[nodiscard]] std::array<std::optional<std::string>, BlockLayout::kFieldCount> BlockLayoutBoxTexts(
    const BlockLayout& layout);

// How far a save got: the layout with every field taken so far, and the error that ended
// the save early; empty when all eight were saved.
struct BlockLayoutSave {
    BlockLayout layout;
    std::string error;
};

// Converts the box texts in field order strictly ("'%s' is not a valid integer value"; an
// address outside 0 to 511 counts as no integer) up to the first that fails, then stores the
// numbers before it as decimal text in one write and puts them into the layout. When the write
// fails nothing is stored, and only the first field takes its number.
[[nodiscard]] BlockLayoutSave SaveBlockLayout(const SettingsStore& store, const BlockLayoutTexts& boxTexts,
                                              BlockLayout layout);

}  // namespace kelvarox
