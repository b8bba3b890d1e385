#pragma once
// The Unicode forms of a settings text: UTF-16LE as regedit writes version 5 files, and the
// UTF-8 the program holds. Conversions go both ways without loss for every text a file can
// hold, so that a file rewritten with nothing changed keeps its bytes.
#include <optional>
#include <string>
#include <string_view>

namespace kelvarox {

// The byte-order marks that a text may begin with.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

// UTF-16LE bytes as UTF-8. An unpaired surrogate becomes the three-byte form of its code
// point (as WTF-8 does), so that it goes back to the same bytes. Empty for an odd byte count.
std::optional<std::string> Utf16LeToUtf8(std::string_view bytes);

// The UTF-16LE bytes of a text taken as ValidUtf8 takes it.
std::string Utf8ToUtf16Le(std::string_view text);

// The text as UTF-8: every byte that is not part of a UTF-8 character stands for the Latin-1
// character of its value (the 8-bit texts of the windows are Latin-1). The three-byte form of
// an unpaired surrogate counts as a character. Unchanged for a text that is UTF-8 already.
std::string ValidUtf8(std::string_view text);

}  // namespace kelvarox
