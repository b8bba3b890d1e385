#pragma once
// Text-to-number conversions of the program. All are independent of the user's locale:
// "." is the only decimal separator.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvarox {

// A decimal whole number: an optional sign and decimal digits, nothing else, within the
// signed 32-bit range. Used for the header's decimal fields and the Orbit HiByte box.
[[nodiscard]] std::optional<int32_t> ParseDecimal(std::string_view text);

// An orbit number as typed: decimal digits with an optional "-", all of `text`, within 64 bits.
[[nodiscard]] std::optional<int64_t> ParseOrbitNumber(std::string_view text);

// "0x" followed by hexadecimal digits (either case), at most 32 bits. Used for the
// header's hexadecimal fields and the channel number of the Hex# box.
[[nodiscard]] std::optional<int32_t> ParseHex(std::string_view text);

// The settings number rule: leading blanks, an optional sign, then decimal digits or
// hexadecimal digits after "$" or "0x"; the value must fit in 32 bits (hexadecimal
// values up to FFFFFFFF wrap to negative numbers).
[[nodiscard]] std::optional<int32_t> ParseSettingInteger(std::string_view text);

// Lenient form: the default when the text is not an integer.
int32_t SettingIntegerOr(std::string_view text, int32_t fallback);

// The raising forms: "'%s' is not a valid integer value" with the text quoted.
int32_t DecimalOrThrow(const std::string& text);
int32_t HexOrThrow(const std::string& text);
int32_t SettingIntegerOrThrow(const std::string& text);

// A decimal floating-point text (blanks around it allowed, optional sign, digits with an
// optional fraction, optional exponent), rounded to the nearest 32-bit float. A text that
// is no number raises "'%s' is not a valid floating point value"; a number beyond the
// range of a 32-bit float raises "Floating point overflow".
float FloatOrThrow(const std::string& text);

// The text of a box as read by Graph and Table for the channel number: trimmed, then
// characters 2 to 4 (the digits after "#"), converted with the "0x" prefix.
int32_t ChannelFromBoxText(const std::string& boxText);

}  // namespace kelvarox
