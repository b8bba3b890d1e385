// The settings file's text in memory: whatever a file holds, parsing what was written gives
// the same tree in the same form (header, encoding, line ends) and writing that again the same
// text; a value the program stores reads back as stored while every other value in force stays
// as it was; and the Unicode forms of a text convert to each other without loss. Parsing takes
// time in proportion to the size, so long inputs (fuzz/run.sh gives a megabyte) find slowness.
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "FuzzInput.h"
#include "settings/RegistryEncoding.h"
#include "settings/RegistryText.h"

using namespace kelvarox;
using namespace kelvarox::fuzz;

namespace {

bool FitsOnOneLine(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

std::string Folded(std::string text) {
    for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

// A key path and a value name as one text, both without case.
std::string ValueId(const std::string& path, const std::string& name) {
    return std::to_string(path.size()) + ":" + Folded(path) + Folded(name);
}

// The values in force by ValueId: the last of each name in the sections of its key, as
// FindValue takes it (hashed, so that large inputs stay fast).
std::unordered_map<std::string, const RegistryValue*> ValuesInForce(const RegistryDocument& doc) {
    std::unordered_map<std::string, const RegistryValue*> values;
    for (const auto& section : doc.sections)
        for (const auto& entry : section.entries)
            if (entry.value) values[ValueId(section.path, entry.value->name)] = &*entry.value;
    return values;
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

    // UTF-8 (as the program takes it) and UTF-16 go back and forth without loss.
    const std::string valid = ValidUtf8(text);
    FUZZ_CHECK(ValidUtf8(valid) == valid);
    FUZZ_CHECK(Utf16LeToUtf8(Utf8ToUtf16Le(text)) == valid);

    RegistryParseError error;
    const auto doc = ParseRegistryText(file, &error);
    if (!doc) {
        FUZZ_CHECK(error.line >= 1 && !error.reason.empty());
        return 0;
    }
    const RegistryCharacters characters = doc->format.characters;
    for (const auto& section : doc->sections)
        for (const auto& entry : section.entries)
            if (entry.value) (void)TextOfValue(*entry.value, characters);

    const std::string written = WriteRegistryText(*doc);
    auto reread = ParseRegistryText(written);
    FUZZ_CHECK(reread.has_value());
    FUZZ_CHECK(*reread == *doc);
    FUZZ_CHECK(reread->format == doc->format);
    FUZZ_CHECK(WriteRegistryText(*reread) == written);

    // Storing one text value, as SettingsKey does: names and paths on one line, the text up
    // to its first zero character, as UTF-8 in a file of Unicode texts.
    if (!FitsOnOneLine(keyPath) || !FitsOnOneLine(name)) return 0;
    text = text.substr(0, text.find('\0'));
    if (characters == RegistryCharacters::Unicode) text = ValidUtf8(text);
    const bool utf16 = doc->format.encoding == RegistryFormat::Encoding::Utf16LeBom;
    const std::string key = "HKEY_CURRENT_USER\\" + (utf16 ? ValidUtf8(keyPath) : keyPath);
    const std::string valueName = utf16 ? ValidUtf8(name) : name;
    RegistryDocument& changed = *reread;  // equal to the file's tree, and no longer needed as it is
    AddKey(changed, key);
    SetValue(changed, key, RegistryValue::Text(valueName, text, characters));
    const auto stored = ParseRegistryText(WriteRegistryText(changed));
    FUZZ_CHECK(stored.has_value());
    FUZZ_CHECK(KeyExists(*stored, key));
    const RegistryValue* value = FindValue(*stored, key, valueName);
    FUZZ_CHECK(value != nullptr);
    FUZZ_CHECK(TextOfValue(*value, characters) == text);
    const auto after = ValuesInForce(*stored);
    const std::string set = ValueId(key, valueName);
    for (const auto& [id, before] : ValuesInForce(*doc)) {
        if (id == set) continue;
        const auto kept = after.find(id);
        FUZZ_CHECK(kept != after.end() && *kept->second == *before);
    }
    return 0;
}
