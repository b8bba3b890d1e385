#include "settings/BlockLayoutSettings.h"

#include "core/Conversions.h"
#include "core/Errors.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

std::array<std::optional<std::string>, BlockLayout::kFieldCount> BlockLayoutBoxTexts(const BlockLayout& layout) {
    std::array<std::optional<std::string>, BlockLayout::kFieldCount> texts;
    for (int i = 0; i < BlockLayout::kFieldCount; ++i)
        if (layout.Field(i) != 0) texts[static_cast<size_t>(i)] = std::to_string(layout.Field(i));
    return texts;
}

BlockLayoutSave SaveBlockLayout(const SettingsStore& store, const BlockLayoutTexts& boxTexts, BlockLayout layout) {
    BlockLayoutSave save{layout, {}};
    SettingsKey key(store);
    const bool writable = key.OpenSettingsKey(std::string(kStartupKey));
    try {
        for (int i = 0; i < BlockLayout::kFieldCount; ++i) {
            const int32_t address = SettingIntegerOrThrow(boxTexts[static_cast<size_t>(i)]);
            save.Layout.Field(i) = address;
            const std::string name(kLayoutValueNames[static_cast<size_t>(i)]);
            if (!writable) throw KelvaroxError(msg::FailedToSetData(name));
            key.WriteSettingText(name, std::to_string(address));
        }
    } catch (const KelvaroxError& error) {
        save.Error = error.what();
    }
    return save;
}

}  // namespace kelvarox
