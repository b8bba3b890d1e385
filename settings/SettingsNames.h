#pragma once
// The keys and value names of the settings store and their defaults, the one place where they
// are spelled. They are data: settings files written by every earlier copy of the program hold
// them byte for byte, so none is ever corrected. Key paths lie below HKEY_CURRENT_USER and
// keep their backslashes.
#include <array>
#include <cstdint>
#include <string_view>

#include "core/WodBlock.h"

namespace kelvarox {

inline constexpr std::string_view kRootKey = "HKEY_CURRENT_USER";

// The program's own keys.
inline constexpr std::string_view kStartupKey = "Software\\Qarn Programs\\Kelvarox\\Startup";
inline constexpr std::string_view kPositionKey = "Software\\Qarn Programs\\Kelvarox\\Position";
// The satellite file chosen in the program (Menu > Satellite...); empty for the built-in catalogue.
inline constexpr std::string_view kSatelliteKey = "Software\\Qarn Programs\\Kelvarox\\Satellite";
inline constexpr std::string_view kSatelliteFileValue = "File";
// The time line window as it was left (a layout's text on one line) and the layout files
// opened or saved last, the latest first, as "Recent 1" to "Recent 5".
inline constexpr std::string_view kTimeLineKey = "Software\\Qarn Programs\\Kelvarox\\Time Line";
inline constexpr std::string_view kTimeLineLayoutValue = "Layout";
inline constexpr std::string_view kRecentLayoutPrefix = "Recent ";
inline constexpr int kRecentLayouts = 5;

// The capture program's keys, read in this order to find its data directory.
inline constexpr std::string_view kTrelmCStartupKey = "Software\\VB and VBA Program Settings\\TrelmC\\Startup";
inline constexpr std::string_view kTrelmStartupKey = "Software\\Qarn Programs\\Trelm\\Startup";
inline constexpr std::string_view kDefaultDirectoryValue = "Default Directory";

// The block layout's values, in the order of BlockLayout::Field. The two blanks after "End"
// in the second name are the stored spelling; with one blank the stored address would be lost.
inline constexpr std::array<std::string_view, BlockLayout::kFieldCount> kLayoutValueNames = {
    "Start Amday Addr.", "End  Amday Addr.", "Start Orbit Addr.", "End Orbit Addr.",
    "Start MA Addr.",    "End MA Addr.",     "MA Step Addr.",     "Channel Addr.",
};
inline constexpr std::string_view kOrbitOffsetValue = "Orbit Offset";
inline constexpr int32_t kOrbitOffsetDefault = 0;

// Window position values are the prefix followed by " Top" and " Left". The prefixes are the
// stored names of the main, graph and setup windows.
inline constexpr std::string_view kMainWindowPrefix = "Form1";
inline constexpr std::string_view kGraphWindowPrefix = "Form2";
inline constexpr std::string_view kSetupWindowPrefix = "Form3";
inline constexpr int32_t kWindowPositionDefault = 20;

}  // namespace kelvarox
