#pragma once
// REGEDIT4 text to tree and back, in memory. The text is taken as 8-bit bytes; lines end in
// LF or CR LF.
#include <optional>
#include <string>
#include <string_view>

#include "settings/RegistryDocument.h"

namespace kelvarox {

inline constexpr std::string_view kRegistryHeader = "REGEDIT4";

// The tree of a settings text. Empty for a text that is not a REGEDIT4 text (its first line
// is not "REGEDIT4"); a text of nothing but blanks and line ends is an empty tree. Lines that
// are neither sections nor well-formed values are kept in place as written.
std::optional<RegistryDocument> ParseRegistryText(std::string_view text);

// The text of a tree: lines kept as read stay as they were, values set by the program are
// written in the usual layout of the format.
std::string WriteRegistryText(const RegistryDocument& doc);

}  // namespace kelvarox
