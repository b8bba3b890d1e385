#pragma once
// Registry export text to tree and back, in memory. A text is read as regedit writes it and
// as people edit it: 8-bit or UTF-8 with or without a byte-order mark, or UTF-16LE after its
// mark; lines ending in LF, CR LF or CR; blank lines before a "REGEDIT4" or "Windows Registry
// Editor Version 5.00" header in any case of letters. Writing keeps all of that as read.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "settings/RegistryDocument.h"

namespace kelvarox {

inline constexpr std::string_view kRegistryHeader = "REGEDIT4";
inline constexpr std::string_view kRegistryHeaderVersion5 = "Windows Registry Editor Version 5.00";

// Where and why a text is no settings text.
struct RegistryParseError {
    size_t line = 0;  // counted from 1
    std::string reason;
};

// The tree of a settings text. Empty for a text that is not a settings text (the first line
// that is not blank is no header, or a UTF-16 text ends in half a character), with the line
// and the reason in `error` when given; a text of nothing but blanks and line ends is an empty
// tree. Lines that are neither sections nor well-formed values are kept in place as written.
// The time taken grows in proportion to the size of the text.
std::optional<RegistryDocument> ParseRegistryText(std::string_view text, RegistryParseError* error = nullptr);

// The bytes of a tree: lines kept as read stay as they were, values set by the program are
// written in the usual layout of the format, in the format's encoding and line ends.
std::string WriteRegistryText(const RegistryDocument& doc);

}  // namespace kelvarox
