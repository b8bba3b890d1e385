#pragma once
// Recorders standing in for the windows, and a look into the settings file.
#include <array>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "BlockBuilder.h"
#include "core/Errors.h"
#include "settings/RegistryText.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsViews.h"

namespace kelvarox::testing {

struct FakeDirectoryView : TelemetryDirectoryView {
    std::optional<std::string> answer;  // text for OK, nothing for Cancel
    std::vector<std::string> asked;     // caption, prompt and offered text of each dialog
    std::vector<std::string> pointedAt;
    std::string failure;                // raised when the list is pointed anywhere

    std::optional<std::string> AskForText(const std::string& c, const std::string& p, const std::string& i) override {
        asked.insert(asked.end(), {c, p, i});
        return answer;
    }
    void PointFileListAt(const std::string& path) override {
        pointedAt.push_back(path);
        if (!failure.empty()) throw KelvaroxError(failure);
    }
};

struct FakeBox : TextBox {
    std::string text;
    std::string Text() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
};

struct FakeWindow : PositionedWindow {
    int32_t top = 671, left = 42;
    bool normal = true;
    std::string moves;
    int32_t Top() const override { return top; }
    int32_t Left() const override { return left; }
    void SetTop(int32_t t) override { top = t, moves += "top "; }
    void SetLeft(int32_t l) override { left = l, moves += "left "; }
    bool IsInNormalState() const override { return normal; }
};

struct FakeSetup : SetupWindowView {
    std::array<std::string, 8> boxes;
    bool hidden = false;
    std::string BoxText(int field) const override { return boxes.at(static_cast<size_t>(field)); }
    void SetBoxText(int field, const std::string& text) override { boxes.at(static_cast<size_t>(field)) = text; }
    void HideSetupWindow() override { hidden = true; }
};

// The message an action raises; "no error" when it raises none.
inline std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const KelvaroxError& error) {
        return error.what();
    }
    return "no error";
}

inline RegistryDocument ParsedFile(const SettingsStore& store) {
    auto doc = ParseRegistryText(ReadText(store.FilePath()));
    if (!doc) throw std::runtime_error("the settings file does not parse");
    return *doc;
}

// The values of a key below HKEY_CURRENT_USER in file order; nothing when it has no section.
inline std::optional<std::vector<RegistryValue>> KeyValues(const SettingsStore& store, const std::string& key) {
    std::optional<std::vector<RegistryValue>> values;
    for (const auto& section : ParsedFile(store).sections) {
        if (!SameRegistryName(section.path, "HKEY_CURRENT_USER\\" + key)) continue;
        if (!values) values.emplace();
        for (const auto& entry : section.entries)
            if (entry.value) values->push_back(*entry.value);
    }
    return values;
}

inline std::optional<std::string> StoredText(const SettingsStore& store, const std::string& key, const std::string& name) {
    const RegistryDocument doc = ParsedFile(store);
    const RegistryValue* value = FindValue(doc, "HKEY_CURRENT_USER\\" + key, name);
    return value ? TextOfValue(*value) : std::nullopt;
}

}  // namespace kelvarox::testing
