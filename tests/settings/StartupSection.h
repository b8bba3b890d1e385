#pragma once
// Settings texts of the program's startup key.
#include <string>

namespace kelvarox::testing {

// A settings file whose one section is the program's startup key with these values.
inline const std::string kStartup = "Software\\Qarn Programs\\Kelvarox\\Startup";
inline std::string StartupSection(const std::string& values) {
    return "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + kStartup + "]\r\n" + values;
}

}  // namespace kelvarox::testing
