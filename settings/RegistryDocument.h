#pragma once
// The settings file as a tree: the sections of a registry export text (REGEDIT4 or version 5)
// with their values, and every line the program does not understand kept where it stood, so
// that a rewrite changes only what the program changed. Pure data and lookups, no I/O.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarox {

// What the texts of a file are. A REGEDIT4 file holds 8-bit texts, taken byte for byte. A
// version 5 file holds Unicode texts: the program has them as UTF-8 (the file-name encoding
// of the system), whether the file itself is UTF-16 or UTF-8, and its "hex(1):" and "hex(2):"
// strings are UTF-16LE bytes.
enum class RegistryCharacters { Bytes, Unicode };

// One named value of a key. The name "" is the key's default value, written "@".
struct RegistryValue {
    enum class Type { String, Dword, Hex };

    std::string name;
    Type type = Type::String;
    std::string text;                 // String: the text, escapes resolved
    uint32_t number = 0;              // Dword
    std::optional<uint32_t> hexKind;  // Hex: empty for "hex:", N for "hex(N):"
    std::string bytes;                // Hex: the data bytes

    bool operator==(const RegistryValue&) const = default;

    // A text value as the program stores it. A text holding a line end (LF or CR) cannot
    // stand between quotes on one line, so it is stored as "hex(1):" bytes with their
    // terminating zero, which reads back as the same text. For a Unicode file the text is
    // UTF-8 (see ValidUtf8) and the bytes are its UTF-16LE form.
    static RegistryValue Text(std::string name, std::string_view text,
                              RegistryCharacters characters = RegistryCharacters::Bytes);
};

// The text of a value of a text type: a quoted string, "hex(1):" (string) or "hex(2):"
// (expandable string, taken literally), up to its first zero character. Empty for a value
// of any other type.
std::optional<std::string> TextOfValue(const RegistryValue& value,
                                       RegistryCharacters characters = RegistryCharacters::Bytes);

// One entry of a section: a value, or a line (or a run of continued lines) kept as written.
struct RegistryEntry {
    std::optional<RegistryValue> value;  // empty for a kept line
    std::vector<std::string> lines;      // the lines as read; empty for a value the program set

    // Values compare by content, kept lines by their text.
    bool operator==(const RegistryEntry& other) const;
};

// One "[path]" section with what follows it up to the next section.
struct RegistrySection {
    std::string path;        // the full key path between the brackets, e.g. HKEY_CURRENT_USER\Software
    std::string headerLine;  // the section line as read; empty when the program added the section
    std::vector<RegistryEntry> entries;

    bool operator==(const RegistrySection& other) const;  // path and entries
};

// How the text of a file is written, kept so that a rewrite writes it the same way.
struct RegistryFormat {
    enum class Encoding { Bytes, Utf8Bom, Utf16LeBom };  // no mark; UTF-8 or UTF-16LE after a byte-order mark
    enum class LineEnd { Lf, CrLf, Cr };

    Encoding encoding = Encoding::Bytes;
    LineEnd lineEnd = LineEnd::Lf;                              // the first line end of the text
    RegistryCharacters characters = RegistryCharacters::Bytes;  // REGEDIT4 or version 5
    std::vector<std::string> leadingLines;                      // blank lines before the header, as read
    std::string headerLine = "REGEDIT4";                        // as read

    bool operator==(const RegistryFormat&) const = default;
};

struct RegistryDocument {
    RegistryFormat format;
    std::vector<std::string> preamble;      // lines between the header and the first section
    std::vector<RegistrySection> sections;  // in file order

    bool operator==(const RegistryDocument& other) const;  // preamble and sections
};

// Key paths and value names compare without regard to the case of ASCII letters.
bool SameRegistryName(std::string_view a, std::string_view b);

// A key exists when a section names it or a key below it.
bool KeyExists(const RegistryDocument& doc, std::string_view keyPath);

// Adds an empty section for the key at the end unless the key exists. True when it added one.
bool AddKey(RegistryDocument& doc, std::string_view keyPath);

// The value in force: the last one of that name in the sections of that key.
const RegistryValue* FindValue(const RegistryDocument& doc, std::string_view keyPath, std::string_view name);

// Replaces the value in force, or adds the value at the end of the key's last section,
// adding the section when the key has none.
void SetValue(RegistryDocument& doc, std::string_view keyPath, RegistryValue value);

}  // namespace kelvarox
