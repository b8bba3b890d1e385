#pragma once
// The one error type of the program: it carries the text the user sees. Raised by any rule
// that fails (a text that is no number, an arithmetic fault, a store that refuses a write)
// and shown by the application's error report.
#include <stdexcept>
#include <string>

namespace kelvarox {

class KelvaroxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The messages of the program, each word for word as the user reads it.
namespace msg {
inline constexpr const char* kImproperLength = "File is improper length, must be 512 bytes!!";
inline constexpr const char* kImproperFormat = "Improper format for WOD data block!";
inline constexpr const char* kDivisionByZero = "Division by zero";
inline constexpr const char* kFloatOverflow = "Floating point overflow";

std::string NotAnInteger(const std::string& text);  // '%s' is not a valid integer value
std::string NotAFloat(const std::string& text);     // '%s' is not a valid floating point value
}  // namespace msg

}  // namespace kelvarox
