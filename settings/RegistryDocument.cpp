#include "settings/RegistryDocument.h"

#include "settings/RegistryEncoding.h"

namespace kelvarox {

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlankLine(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

bool IsBlankEntry(const RegistryEntry& entry) {
    return !entry.value && entry.lines.size() == 1 && IsBlankLine(entry.lines.front());
}

bool IsKeyOrBelow(std::string_view sectionPath, std::string_view keyPath) {
    if (sectionPath.size() < keyPath.size()) return false;
    if (!SameRegistryName(sectionPath.substr(0, keyPath.size()), keyPath)) return false;
    return sectionPath.size() == keyPath.size() || sectionPath[keyPath.size()] == '\\';
}

// Sections are separated by a blank line, the usual layout of the format.
RegistrySection& AppendSection(RegistryDocument& doc, std::string_view keyPath) {
    if (doc.sections.empty()) {
        if (doc.preamble.empty() || !IsBlankLine(doc.preamble.back())) doc.preamble.emplace_back();
    } else {
        auto& entries = doc.sections.back().entries;
        if (entries.empty() || !IsBlankEntry(entries.back())) entries.push_back(RegistryEntry{std::nullopt, {""}});
    }
    RegistrySection section;
    section.path = std::string(keyPath);
    section.entries.push_back(RegistryEntry{std::nullopt, {""}});
    doc.sections.push_back(std::move(section));
    return doc.sections.back();
}

}  // namespace

RegistryValue RegistryValue::Text(std::string name, std::string_view text, RegistryCharacters characters) {
    RegistryValue value;
    value.name = std::move(name);
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        value.text = std::string(text);
    } else {
        value.type = Type::Hex;
        value.hexKind = 1;
        if (characters == RegistryCharacters::Unicode) {
            value.bytes = Utf8ToUtf16Le(text);
            value.bytes.append(2, '\0');
        } else {
            value.bytes = std::string(text);
            value.bytes.push_back('\0');
        }
    }
    return value;
}

std::optional<std::string> TextOfValue(const RegistryValue& value, RegistryCharacters characters) {
    if (value.type == RegistryValue::Type::String) {
        const std::string_view data = value.text;
        return std::string(data.substr(0, data.find('\0')));
    }
    if (value.type != RegistryValue::Type::Hex || (value.hexKind != 1u && value.hexKind != 2u)) return std::nullopt;
    if (characters == RegistryCharacters::Bytes) {
        const std::string_view data = value.bytes;
        return std::string(data.substr(0, data.find('\0')));
    }
    // UTF-16LE up to the first zero unit; an odd last byte is no character.
    size_t units = 0;
    while (units < value.bytes.size() / 2 && (value.bytes[2 * units] != '\0' || value.bytes[2 * units + 1] != '\0'))
        ++units;
    return Utf16LeToUtf8(std::string_view(value.bytes).substr(0, 2 * units));
}

bool RegistryEntry::operator==(const RegistryEntry& other) const {
    if (value || other.value) return value == other.value;
    return lines == other.lines;
}

bool RegistrySection::operator==(const RegistrySection& other) const {
    return path == other.path && entries == other.entries;
}

bool RegistryDocument::operator==(const RegistryDocument& other) const {
    return preamble == other.preamble && sections == other.sections;
}

bool SameRegistryName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

bool KeyExists(const RegistryDocument& doc, std::string_view keyPath) {
    for (const auto& section : doc.sections)
        if (IsKeyOrBelow(section.path, keyPath)) return true;
    return false;
}

bool AddKey(RegistryDocument& doc, std::string_view keyPath) {
    if (KeyExists(doc, keyPath)) return false;
    AppendSection(doc, keyPath);
    return true;
}

const RegistryValue* FindValue(const RegistryDocument& doc, std::string_view keyPath, std::string_view name) {
    const RegistryValue* found = nullptr;
    for (const auto& section : doc.sections) {
        if (!SameRegistryName(section.path, keyPath)) continue;
        for (const auto& entry : section.entries)
            if (entry.value && SameRegistryName(entry.value->name, name)) found = &*entry.value;
    }
    return found;
}

void SetValue(RegistryDocument& doc, std::string_view keyPath, RegistryValue value) {
    RegistryEntry* inForce = nullptr;
    RegistrySection* lastSection = nullptr;
    for (auto& section : doc.sections) {
        if (!SameRegistryName(section.path, keyPath)) continue;
        lastSection = &section;
        for (auto& entry : section.entries)
            if (entry.value && SameRegistryName(entry.value->name, value.name)) inForce = &entry;
    }
    if (inForce) {
        value.name = inForce->value->name;  // a name keeps the spelling it was first given
        inForce->value = std::move(value);
        inForce->lines.clear();
        return;
    }
    RegistrySection& section = lastSection ? *lastSection : AppendSection(doc, keyPath);
    // A new value goes after the section's last value or comment, before its closing blank lines.
    auto at = section.entries.end();
    while (at != section.entries.begin() && IsBlankEntry(*(at - 1))) --at;
    section.entries.insert(at, RegistryEntry{std::move(value), {}});
}

}  // namespace kelvarox
