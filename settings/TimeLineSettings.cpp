#include "settings/TimeLineSettings.h"

#include <algorithm>

#include "core/Errors.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

namespace {

std::string RecentName(int n) { return std::string(kRecentLayoutPrefix) + std::to_string(n); }

// The value's text; empty when it is missing or of another type.
std::string ReadText(const SettingsStore& store, const std::string& name) {
    SettingsKey key(store);
    if (!key.OpenSettingsKeyForReading(std::string(kTimeLineKey))) return {};
    try {
        return key.ReadSettingText(name);
    } catch (const KelvaroxError&) {
        return {};
    }
}

void WriteTexts(const SettingsStore& store, const std::vector<std::pair<std::string, std::string>>& values) {
    SettingsKey key(store);
    if (!key.OpenSettingsKey(std::string(kTimeLineKey))) throw KelvaroxError(msg::FailedToSetData(values[0].first));
    key.WriteSettingTexts(values);
}

}  // namespace

std::optional<TimeLineLayout> ReadKeptLayout(const SettingsStore& store) {
    const std::string text = ReadText(store, std::string(kTimeLineLayoutValue));
    if (text.empty()) return std::nullopt;
    try {
        return ParseLayout(text);
    } catch (const KelvaroxError&) {
        return std::nullopt;  // a layout written by a newer copy, or edited by hand: the window starts afresh
    }
}

void SaveKeptLayout(const SettingsStore& store, const TimeLineLayout& layout) {
    WriteTexts(store, {{std::string(kTimeLineLayoutValue), LayoutText(layout, LayoutTextStyle::Line)}});
}

std::vector<std::string> ReadRecentLayouts(const SettingsStore& store) {
    std::vector<std::string> paths;
    for (int n = 1; n <= kRecentLayouts; ++n)
        if (std::string path = ReadText(store, RecentName(n)); !path.empty()) paths.push_back(std::move(path));
    return paths;
}

void AddRecentLayout(const SettingsStore& store, const std::string& path) {
    std::vector<std::string> paths = ReadRecentLayouts(store);
    std::erase(paths, path);
    paths.insert(paths.begin(), path);
    std::vector<std::pair<std::string, std::string>> values;
    for (int n = 1; n <= kRecentLayouts; ++n)
        values.emplace_back(RecentName(n), n <= static_cast<int>(paths.size()) ? paths[n - 1] : std::string());
    WriteTexts(store, values);
}

}  // namespace kelvarox
