#include "core/Text.h"

namespace kelvarox {

namespace {

template <typename Trimmed>
std::string_view TrimEnds(std::string_view text, Trimmed trimmed) {
    while (!text.empty() && trimmed(text.front())) text.remove_prefix(1);
    while (!text.empty() && trimmed(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string AsciiLowerText(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = AsciiLower(c);
    return lower;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view lowerSuffix) {
    if (text.size() < lowerSuffix.size()) return false;
    const std::string_view tail = text.substr(text.size() - lowerSuffix.size());
    for (size_t i = 0; i < lowerSuffix.size(); ++i)
        if (AsciiLower(tail[i]) != lowerSuffix[i]) return false;
    return true;
}

std::string AlternativesText(const std::vector<std::string_view>& texts) {
    std::string text;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) text += i + 1 == texts.size() ? " or " : ", ";
        text += texts[i];
    }
    return text;
}

std::string_view TrimBlanks(std::string_view text) {
    return TrimEnds(text, [](char c) { return c == ' '; });
}

std::string_view TrimBlanksAndControls(std::string_view text) {
    return TrimEnds(text, [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::string UpperHex(uint32_t value, size_t minDigits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
    return digits;
}

}  // namespace kelvarox
