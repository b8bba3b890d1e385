#include "settings/BlockLayoutSettings.h"

#include <utility>
#include <vector>

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
    // The boxes before the first that holds no address are converted before anything is stored.
    std::vector<std::pair<std::string, std::string>> values;
    BlockLayout converted = layout;
    for (int i = 0; i < BlockLayout::kFieldCount && save.error.empty(); ++i) {
        const std::string& text = boxTexts[static_cast<size_t>(i)];
        try {
            const int32_t address = SettingIntegerOrThrow(text);
            // An address past the block counts as no integer, as it does when it is read back.
            if (address < 0 || address > kLastBlockByte) throw KelvaroxError(msg::NotAnInteger(text));
            converted.Field(i) = address;
            values.emplace_back(kLayoutValueNames[static_cast<size_t>(i)], std::to_string(address));
        } catch (const KelvaroxError& error) {
            save.error = error.what();
        }
    }
    if (values.empty()) return save;
    // One write: a reader of the file sees the whole save or none of it.
    try {
        SettingsKey key(store);
        if (!key.OpenSettingsKey(std::string(kStartupKey)))
            throw KelvaroxError(msg::FailedToSetData(values.front().first));
        key.WriteSettingTexts(values);
        save.layout = converted;
    } catch (const KelvaroxError& error) {
        // Nothing was stored: only the first field takes its number, as it did when its own
        // write was the first to fail.
        save.layout.Field(0) = converted.Field(0);
        save.error = error.what();
    }
    return save;
}

}  // namespace kelvarox
