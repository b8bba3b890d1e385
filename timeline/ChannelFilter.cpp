#include "timeline/ChannelFilter.h"

#include <algorithm>
#include <string>

#include "core/Text.h"

namespace kelvarox::timeline {

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return AsciiLower(a) == AsciiLower(b); }) != text.end();
}

bool BeginsWith(std::string_view text, std::string_view part) {
    return text.size() >= part.size() && Contains(text.substr(0, part.size()), part);
}

// Whether the number's hex digits begin with `digits`, as the list shows them (three digits at
// least) or without leading zeros.
bool NumberBeginsWith(int32_t channel, std::string_view digits) {
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsHexDigit)) return false;
    const auto number = static_cast<uint32_t>(channel);
    return BeginsWith(UpperHex(number, 1), digits) || BeginsWith(UpperHex(number, 3), digits);
}

}  // namespace

bool ChannelMatches(int32_t channel, std::string_view name, std::string_view unit, std::string_view filter) {
    filter = TrimBlanksAndControls(filter);
    if (filter.empty()) return true;
    if (filter.front() == '#') return NumberBeginsWith(channel, filter.substr(1));
    if (filter.size() > 2 && filter[0] == '0' && AsciiLower(filter[1]) == 'x')
        return NumberBeginsWith(channel, filter.substr(2));
    return Contains(name, filter) || Contains(unit, filter) || NumberBeginsWith(channel, filter);
}

}  // namespace kelvarox::timeline
