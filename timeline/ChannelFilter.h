#pragma once
// Which channels the time line's channel list shows for the text typed in its filter box.
#include <cstdint>
#include <string_view>

namespace kelvarox::timeline {

// Whether the channel matches `filter`, ignoring case and blanks around it: every channel
// matches an empty filter. "#8C" and "0x8C" name a channel number only: those whose hex number
// begins with the digits typed, as the list shows it or without its leading zeros ("#8C" gives
// #08C and #8C0 to #8CF). Any other text matches the channels whose name or unit contains it,
// and, when it is hex digits, those whose number begins with them.
bool ChannelMatches(int32_t channel, std::string_view name, std::string_view unit, std::string_view filter);

}  // namespace kelvarox::timeline
