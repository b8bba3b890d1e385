#pragma once
// A settings file as a person or another program might leave it: comments, odd spacing,
// other keys and types, a malformed value, lower-case names and lines of no known kind.
namespace kelvarox::testing {

inline constexpr const char* kHandWrittenFile =
    "REGEDIT4\n"
    "\n"
    "; Settings of the telemetry tools, edited by hand\n"
    "[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\n"
    "\"Default Directory\"=\"/data/trelm\"\n"
    "  \"Baud\"  =  dword:00002580\n"
    "\"Window\"=hex:01,02,03,\\\n"
    "  04,05\n"
    "\"Path\"=hex(2):25,48,4f,4d,45,25,00,78\n"
    "this line means nothing to anyone\n"
    "\"Broken\"=hex:01,\\\n"
    "[hkey_current_user\\software\\qarn programs\\kelvarox\\startup]\n"
    "@=\"layout \\\"A\\\" in C:\\\\tlm\"\n"
    "\"orbit offset\"=\"3\"   \n"
    "; keep me\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
    "\"x\"=-\n"
    "\"y\"=\"unterminated\n";

}  // namespace kelvarox::testing
