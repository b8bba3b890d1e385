#pragma once
// Recorders standing in for the windows, and a look into the settings file.
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "core/Errors.h"
#include "settings/RegistryText.h"
#include "settings/SettingsStore.h"
#include "settings/TelemetryDirectory.h"

namespace kelvarox::testing {

// The directory dialog as a recorder: what it was asked and the answer it gives.
struct DirectoryDialog {
    std::optional<std::string> answer;  // text for OK, nothing for Cancel
    std::vector<std::string> asked;     // caption, prompt and offered text of each dialog

    AskForDirectory Ask() {
        return [this](const std::string& caption, const std::string& prompt, const std::string& offered) {
            asked.insert(asked.end(), {caption, prompt, offered});
            return answer;
        };
    }
};

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

inline std::optional<std::string> StoredText(const SettingsStore& store, const std::string& key,
                                             const std::string& name) {
    const RegistryDocument doc = ParsedFile(store);
    const RegistryValue* value = FindValue(doc, "HKEY_CURRENT_USER\\" + key, name);
    return value ? TextOfValue(*value) : std::nullopt;
}

}  // namespace kelvarox::testing
