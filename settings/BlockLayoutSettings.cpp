#include "settings/BlockLayoutSettings.h"

#include <string>

#include "core/Conversions.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

void ShowBlockLayout(const BlockLayout& layout, SetupWindowView& setup) {
    for (int i = 0; i < BlockLayout::kFieldCount; ++i)
        if (layout.Field(i) != 0) setup.SetBoxText(i, std::to_string(layout.Field(i)));
}

void SaveBlockLayout(const SettingsStore& store, BlockLayout& layout, SetupWindowView& setup) {
    {
        SettingsKey key(store);
        key.OpenSettingsKey(std::string(kStartupKey));
        for (int i = 0; i < BlockLayout::kFieldCount; ++i) {
            const int32_t address = SettingIntegerOrThrow(setup.BoxText(i));
            layout.Field(i) = address;
            key.WriteSettingText(std::string(kLayoutValueNames[static_cast<size_t>(i)]), std::to_string(address));
        }
    }
    setup.HideSetupWindow();
}

}  // namespace kelvarox
