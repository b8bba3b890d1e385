#include "settings/SettingsKey.h"

#include "core/Conversions.h"
#include "core/Errors.h"
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
    open_ = writable_ = false;
    if (!FitsOnOneLine(keyPath)) return false;
    const auto contents = store_.Read();
    if (contents.state == SettingsStore::FileState::Parsed && KeyExists(contents.document, fullPath_)) {
        open_ = writable_ = true;
        return true;
    }
    const std::string& path = fullPath_;
    open_ = writable_ = store_.Update([&path](RegistryDocument& doc) { return AddKey(doc, path); });
    return open_;
}

bool SettingsKey::OpenSettingsKeyForReading(const std::string& keyPath) {
    fullPath_ = std::string(kRootKey) + "\\" + keyPath;
    open_ = true;
    writable_ = false;
    const auto contents = store_.Read();
    return contents.state == SettingsStore::FileState::Parsed && KeyExists(contents.document, fullPath_);
}

std::string SettingsKey::ReadSettingText(const std::string& name) const {
    if (!open_) return std::string();
    const auto contents = store_.Read();
    const RegistryValue* value = FindValue(contents.document, fullPath_, name);
    if (!value) return std::string();
    auto text = TextOfValue(*value);
    if (!text) throw KelvaroxError(msg::InvalidDataType(name));
    return *text;
}

void SettingsKey::WriteSettingText(const std::string& name, const std::string& text) {
    const std::string stored = text.substr(0, text.find('\0'));
    const std::string& path = fullPath_;
    const bool written = writable_ && FitsOnOneLine(name) &&
                         store_.Update([&](RegistryDocument& doc) {
                             SetValue(doc, path, RegistryValue::Text(name, stored));
                             return true;
                         });
    if (!written) throw KelvaroxError(msg::FailedToSetData(name));
}

int32_t SettingsKey::ReadSettingNumber(const std::string& name, int32_t fallback) const {
    return SettingIntegerOr(ReadSettingText(name), fallback);
}

}  // namespace kelvarox
