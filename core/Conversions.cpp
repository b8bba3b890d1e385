#include "core/Conversions.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/Errors.h"
#include "core/Text.h"

namespace kelvarox {

namespace msg {
std::string NotAnInteger(const std::string& text) { return "'" + text + "' is not a valid integer value"; }
std::string NotAFloat(const std::string& text) { return "'" + text + "' is not a valid floating point value"; }
}  // namespace msg

namespace {

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Reads an unsigned magnitude of one or more digits that must make up the whole of `digits`;
// empty when a character is no digit or the value passes `limit`.
std::optional<uint64_t> Magnitude(std::string_view digits, int base, uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        const int d = DigitValue(c, base);
        if (d < 0) return std::nullopt;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (value > limit) return std::nullopt;
    }
    return value;
}

bool StartsWithHexPrefix(std::string_view text) {
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

std::optional<int32_t> SignedDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    const auto m = Magnitude(text, 10, limit);
    if (!m) return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(*m) : static_cast<int64_t>(*m));
}

}  // namespace

std::optional<int32_t> ParseDecimal(std::string_view text) { return SignedDecimal(text); }

std::optional<int64_t> ParseOrbitNumber(std::string_view text) {
    int64_t value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<int32_t> ParseHex(std::string_view text) {
    if (!StartsWithHexPrefix(text)) return std::nullopt;
    const auto m = Magnitude(text.substr(2), 16, 0xFFFFFFFFULL);
    if (!m) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(*m));
}

std::optional<int32_t> ParseSettingInteger(std::string_view text) {
    while (!text.empty() && text[0] == ' ') text.remove_prefix(1);
    bool negative = false;
    std::string_view rest = text;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    std::string_view hexDigits;
    bool hex = false;
    if (!rest.empty() && rest[0] == '$') {
        hex = true;
        hexDigits = rest.substr(1);
    } else if (StartsWithHexPrefix(rest)) {
        hex = true;
        hexDigits = rest.substr(2);
    }
    if (!hex) return SignedDecimal(text);
    const auto m = Magnitude(hexDigits, 16, 0xFFFFFFFFULL);
    if (!m) return std::nullopt;
    const uint32_t bits = static_cast<uint32_t>(*m);
    return static_cast<int32_t>(negative ? 0U - bits : bits);
}

int32_t SettingIntegerOr(std::string_view text, int32_t fallback) {
    return ParseSettingInteger(text).value_or(fallback);
}

int32_t DecimalOrThrow(const std::string& text) {
    if (const auto v = ParseDecimal(text)) return *v;
    throw KelvaroxError(msg::NotAnInteger(text));
}

int32_t HexOrThrow(const std::string& text) {
    if (const auto v = ParseHex(text)) return *v;
    throw KelvaroxError(msg::NotAnInteger(text));
}

int32_t SettingIntegerOrThrow(const std::string& text) {
    if (const auto v = ParseSettingInteger(text)) return *v;
    throw KelvaroxError(msg::NotAnInteger(text));
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the shape of a decimal number and returns it without blanks and without a leading
// "+", ready for from_chars; empty when the text is no number.
std::optional<std::string> NumberShape(std::string_view text) {
    text = TrimBlanks(text);
    std::string out;
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') out += '-';
        ++i;
    }
    size_t mantissaDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        out += text[i++];
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        out += text[i++];
        while (i < text.size() && IsDigit(text[i])) {
            out += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) out += text[i++];
        size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            out += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    return out;
}

}  // namespace

float FloatOrThrow(const std::string& text) {
    const auto shape = NumberShape(text);
    if (!shape) throw KelvaroxError(msg::NotAFloat(text));
    const char* first = shape->data();
    const char* last = first + shape->size();

    float value = 0.0f;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc() && ptr == last) return value;

    // Out of the float range: a tiny value becomes zero or a subnormal, a large one overflows.
    long double wide = 0.0L;
    auto [wptr, wec] = std::from_chars(first, last, wide);
    if (wec == std::errc() && wptr == last) {
        if (std::fabs(wide) < 1.0L) return static_cast<float>(wide);
        throw KelvaroxError(msg::kFloatOverflow);
    }
    const auto e = shape->find('e');
    const bool negativeExponent = e != std::string::npos && e + 1 < shape->size() && (*shape)[e + 1] == '-';
    if (negativeExponent) return (*shape)[0] == '-' ? -0.0f : 0.0f;
    throw KelvaroxError(msg::kFloatOverflow);
}

int32_t ChannelFromBoxText(const std::string& boxText) {
    const std::string trimmed(TrimBlanksAndControls(boxText));
    const std::string digits = trimmed.size() > 1 ? trimmed.substr(1, 3) : std::string();
    return HexOrThrow("0x" + digits);
}

}  // namespace kelvarox
