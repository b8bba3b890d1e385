#pragma once
// Small rules on 8-bit text that several parts of the program share: ASCII case, blanks at the
// ends, and hexadecimal digits.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarox {

// The ASCII letters A to Z in lower case; every other byte as it is.
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
// `text` with its ASCII letters in lower case.
std::string AsciiLowerText(std::string_view text);

// 0 to 9, a to f and A to F.
constexpr bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f'); }

// `text` ends in `lowerSuffix` (given in lower case), its ASCII letters compared without case.
bool EndsWithIgnoringCase(std::string_view text, std::string_view lowerSuffix);

// `text` without the blanks (' ') at its ends.
std::string_view TrimBlanks(std::string_view text);
// `text` without the blanks and control characters (bytes up to ' ') at its ends.
std::string_view TrimBlanksAndControls(std::string_view text);

// The texts as alternatives for a message: "a, b, c or d" ("a" alone, "a or b").
std::string AlternativesText(const std::vector<std::string_view>& texts);

// `value` in upper-case hexadecimal, with leading zeros up to `minDigits` digits.
std::string UpperHex(uint32_t value, size_t minDigits);

}  // namespace kelvarox
