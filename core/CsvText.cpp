#include "core/CsvText.h"

#include <charconv>
#include <limits>

namespace kelvarox {

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

void AppendNumber(std::string& out, int64_t value) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<size_t>(r.ptr - digits));
}

void AppendShortestDouble(std::string& out, double value) {
    char digits[32];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<size_t>(r.ptr - digits));
}

void AppendShortestFloat(std::string& out, float value) {
    if (value != value) {
        out += "NAN";
    } else if (value == std::numeric_limits<float>::infinity()) {
        out += "INF";
    } else if (value == -std::numeric_limits<float>::infinity()) {
        out += "-INF";
    } else {
        char digits[32];
        const auto r = std::to_chars(digits, digits + sizeof digits, value);
        out.append(digits, static_cast<size_t>(r.ptr - digits));
    }
}

}  // namespace kelvarox
