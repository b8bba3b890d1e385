// The settings file's text in memory: whatever a file holds, parsing what was written gives
// the same tree and writing that again the same text; and a value the program stores reads
// back as stored while every other value in force stays as it was.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzInput.h"
#include "settings/RegistryText.h"

using namespace kelvarox;
using namespace kelvarox::fuzz;

namespace {

bool FitsOnOneLine(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

// Every (key, name) pair that has a value in the tree.
std::vector<std::pair<std::string, std::string>> ValueNames(const RegistryDocument& doc) {
    std::vector<std::pair<std::string, std::string>> names;
    for (const auto& section : doc.sections)
        for (const auto& entry : section.entries)
            if (entry.value) names.emplace_back(section.path, entry.value->name);
    return names;
}

}  // namespace

// The input: the key path, value name and text of one value that the program stores (each
// a length byte and its bytes), then the file's text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    const std::string keyPath = in.Text();
    const std::string name = in.Text();
    std::string text = in.Text();
    const std::vector<uint8_t> rest = in.Rest();
    const std::string_view file(reinterpret_cast<const char*>(rest.data()), rest.size());

    const auto doc = ParseRegistryText(file);
    if (!doc) return 0;
    for (const auto& section : doc->sections)
        for (const auto& entry : section.entries)
            if (entry.value) (void)TextOfValue(*entry.value);

    const std::string written = WriteRegistryText(*doc);
    const auto reread = ParseRegistryText(written);
    FUZZ_CHECK(reread.has_value());
    FUZZ_CHECK(*reread == *doc);
    FUZZ_CHECK(WriteRegistryText(*reread) == written);

    // Storing one text value, as SettingsKey does: names and paths on one line, the text up
    // to its first zero character.
    if (!FitsOnOneLine(keyPath) || !FitsOnOneLine(name)) return 0;
    text = text.substr(0, text.find('\0'));
    const std::string key = "HKEY_CURRENT_USER\\" + keyPath;
    RegistryDocument changed = *doc;
    AddKey(changed, key);
    SetValue(changed, key, RegistryValue::Text(name, text));
    const auto stored = ParseRegistryText(WriteRegistryText(changed));
    FUZZ_CHECK(stored.has_value());
    FUZZ_CHECK(KeyExists(*stored, key));
    const RegistryValue* value = FindValue(*stored, key, name);
    FUZZ_CHECK(value != nullptr);
    FUZZ_CHECK(TextOfValue(*value) == text);
    for (const auto& [path, other] : ValueNames(*doc)) {
        if (SameRegistryName(path, key) && SameRegistryName(other, name)) continue;
        const RegistryValue* before = FindValue(*doc, path, other);
        const RegistryValue* after = FindValue(*stored, path, other);
        FUZZ_CHECK(after != nullptr && *after == *before);
    }
    return 0;
}
