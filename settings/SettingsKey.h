#pragma once
// One opened key of the settings store. Each load or save procedure opens its own key,
// uses it and lets it go before it returns; nothing is held open between two events.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "settings/SettingsStore.h"

namespace kelvarox {

class SettingsKey {
public:
    explicit SettingsKey(const SettingsStore& store);
    ~SettingsKey();  // release: nothing is held but the path
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    // Opens the key path (below HKEY_CURRENT_USER) for reading and writing, adding the key
    // to the file when it is not there yet. False when the key could not be added; reads then
    // give the empty text and writes fail. A store for reading only opens as below.
    [[nodiscard]] bool OpenSettingsKey(const std::string& keyPath);

    // Opens the key for reading only: the file is never written, a missing key reads as
    // empty, and writes fail. True when the key is in the file.
    [[nodiscard]] bool OpenSettingsKeyForReading(const std::string& keyPath);

    // The value's text, read from the file as it is now: up to the first zero character;
    // empty for a missing value or a key not opened. Raises "Invalid data type for '%s'" for a
    // value whose type is not text.
    std::string ReadSettingText(const std::string& name) const;

    // Creates or replaces the value as text, up to its first zero character (in a file of
    // Unicode texts, as UTF-8: see ValidUtf8). Raises "Failed to set data for '%s'" when the key
    // is not open for writing or the store refuses the write, and "Failed to set data for '%s':
    // another program holds the settings file" when the file's lock stays taken.
    void WriteSettingText(const std::string& name, const std::string& text);

    // Several values (name, text) in one write under one lock: a reader sees all of them or
    // none. A failure is raised as by WriteSettingText, naming the first value.
    void WriteSettingTexts(const std::vector<std::pair<std::string, std::string>>& values);

    // ReadSettingText converted by the settings number rule; the default for a text that is
    // empty or no 32-bit integer.
    int32_t ReadSettingNumber(const std::string& name, int32_t fallback) const;

private:
    const SettingsStore& store_;
    std::string fullPath_;  // HKEY_CURRENT_USER\<key path>
    bool open_ = false;
    bool writable_ = false;
    bool lockHeldAtOpen_ = false;  // the key could not be added because another program held the file
};

}  // namespace kelvarox
