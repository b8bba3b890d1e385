#pragma once
// Text on its way to the user's terminal. Bytes of a block or of a file name must not move the
// cursor, clear the screen or break the one line of a report, so every control byte is written
// as \x1B (a backslash, "x" and two upper-case hexadecimal digits) instead.
#include <ostream>
#include <string>
#include <string_view>

namespace kelvarox::cli {

// The name in front of the command line's messages.
inline constexpr std::string_view kProgramName = "kelvarox-cli";

// Every message of the command line reaches the terminal through these two writers, one line
// each.
// "kelvarox-cli: MESSAGE" (or another program's name): an error or a warning of the program,
// which may quote arguments, file names, database addresses and the system's or a database's
// texts; its bytes are escaped as TerminalName escapes them.
void Report(std::ostream& err, std::string_view message, std::string_view program = kProgramName);
// "FILE: MESSAGE" for a file that failed: its name escaped as TerminalName does, the message
// (the window's 8-bit text, or the system's reason) as TerminalText does.
void ReportFailure(std::ostream& err, std::string_view file, std::string_view message);

// A text of the program (8-bit, Latin-1, as the windows show it, such as a block's field in a
// message): the bytes below 0x20, 0x7F and 0x80 to 0x9F escaped, the rest written as UTF-8.
std::string TerminalText(std::string_view latin1);

// A file name, an argument or a message of the system, as bytes (normally UTF-8): the bytes
// below 0x20, 0x7F, the UTF-8 forms of U+0080 to U+009F and every byte that is not part of a
// UTF-8 character escaped, the rest written as it stands.
std::string TerminalName(std::string_view bytes);

}  // namespace kelvarox::cli
