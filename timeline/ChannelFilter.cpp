#include "timeline/ChannelFilter.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace kelvarox::timeline {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool Contains(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return Lower(a) == Lower(b); }) != text.end();
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// The channel's number in lower-case hex digits without leading zeros ("0" for channel 0).
std::string HexOf(int32_t channel) {
    static constexpr char kDigits[] = "0123456789abcdef";
    auto number = static_cast<uint32_t>(channel);
    std::string hex;
    do {
        hex.insert(hex.begin(), kDigits[number % 16]);
        number /= 16;
    } while (number != 0);
    return hex;
}

bool BeginsWith(std::string_view text, std::string_view part) {
    return text.size() >= part.size() && Contains(text.substr(0, part.size()), part);
}

// Whether the number's hex digits begin with `digits`, as the list shows them (three digits at
// least) or without leading zeros.
bool NumberBeginsWith(int32_t channel, std::string_view digits) {
    const bool hex = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (!hex) return false;
    const std::string number = HexOf(channel);
    const std::string shown = std::string(number.size() < 3 ? 3 - number.size() : 0, '0') + number;
    return BeginsWith(number, digits) || BeginsWith(shown, digits);
}

}  // namespace

bool ChannelMatches(int32_t channel, std::string_view name, std::string_view unit, std::string_view filter) {
    filter = Trimmed(filter);
    if (filter.empty()) return true;
    if (filter.front() == '#') return NumberBeginsWith(channel, filter.substr(1));
    if (filter.size() > 2 && filter[0] == '0' && Lower(filter[1]) == 'x')
        return NumberBeginsWith(channel, filter.substr(2));
    return Contains(name, filter) || Contains(unit, filter) || NumberBeginsWith(channel, filter);
}

}  // namespace kelvarox::timeline
