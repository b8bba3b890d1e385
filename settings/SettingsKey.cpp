#include "settings/SettingsKey.h"

#include "core/Conversions.h"
#include "core/Errors.h"
#include "settings/RegistryEncoding.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

namespace {

// Names and paths that cannot stand on one line of the file.
bool FitsOnOneLine(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

}  // namespace

SettingsKey::SettingsKey(const SettingsStore& store) : store_(store) {}

SettingsKey::~SettingsKey() = default;

bool SettingsKey::OpenSettingsKey(const std::string& keyPath) {
    if (store_.IsReadOnly()) return OpenSettingsKeyForReading(keyPath);
    fullPath_ = std::string(kRootKey) + "\\" + keyPath;
    open_ = writable_ = lockHeldAtOpen_ = false;
    if (!FitsOnOneLine(keyPath)) return false;
    const auto contents = store_.Snapshot();
    if (contents->state == SettingsStore::FileState::Parsed && KeyExists(contents->document, fullPath_)) {
        open_ = writable_ = true;
        return true;
    }
    const std::string& path = fullPath_;
    const auto result = store_.Update([&path](RegistryDocument& doc) { return AddKey(doc, path); });
    open_ = writable_ =
        result == SettingsStore::UpdateResult::Saved || result == SettingsStore::UpdateResult::Unchanged;
    lockHeldAtOpen_ = result == SettingsStore::UpdateResult::Locked;
    return open_;
}

bool SettingsKey::OpenSettingsKeyForReading(const std::string& keyPath) {
    fullPath_ = std::string(kRootKey) + "\\" + keyPath;
    open_ = true;
    lockHeldAtOpen_ = false;
    writable_ = false;
    const auto contents = store_.Snapshot();
    return contents->state == SettingsStore::FileState::Parsed && KeyExists(contents->document, fullPath_);
}

std::string SettingsKey::ReadSettingText(const std::string& name) const {
    if (!open_) return std::string();
    const auto contents = store_.Snapshot();
    const RegistryValue* value = FindValue(contents->document, fullPath_, name);
    if (!value) return std::string();
    auto text = TextOfValue(*value, contents->document.format.characters);
    if (!text) throw KelvaroxError(msg::InvalidDataType(name));
    return *text;
}

void SettingsKey::WriteSettingText(const std::string& name, const std::string& text) {
    WriteSettingTexts({{name, text}});
}

void SettingsKey::WriteSettingTexts(const std::vector<std::pair<std::string, std::string>>& values) {
    if (values.empty()) return;
    const std::string& first = values.front().first;
    if (lockHeldAtOpen_) throw KelvaroxError(msg::SettingsFileHeld(first));
    bool fits = writable_;
    for (const auto& [name, text] : values) fits = fits && FitsOnOneLine(name);
    if (!fits) throw KelvaroxError(msg::FailedToSetData(first));

    const std::string& path = fullPath_;
    const auto result = store_.Update([&](RegistryDocument& doc) {
        const RegistryCharacters characters = doc.format.characters;
        for (const auto& [name, text] : values) {
            std::string stored = text.substr(0, text.find('\0'));
            if (characters == RegistryCharacters::Unicode) stored = ValidUtf8(stored);
            SetValue(doc, path, RegistryValue::Text(name, stored, characters));
        }
        return true;
    });
    if (result == SettingsStore::UpdateResult::Locked) throw KelvaroxError(msg::SettingsFileHeld(first));
    if (result != SettingsStore::UpdateResult::Saved) throw KelvaroxError(msg::FailedToSetData(first));
}

int32_t SettingsKey::ReadSettingNumber(const std::string& name, int32_t fallback) const {
    return SettingIntegerOr(ReadSettingText(name), fallback);
}

}  // namespace kelvarox
