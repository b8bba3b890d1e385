#include "cli/TerminalText.h"

namespace kelvarox::cli {

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

bool IsContinuation(std::string_view text, size_t i, unsigned char low = 0x80, unsigned char high = 0xBF) {
    if (i >= text.size()) return false;
    const auto byte = static_cast<unsigned char>(text[i]);
    return byte >= low && byte <= high;
}

// The length of the UTF-8 character at text[i] (shortest form, no surrogates, at most
// U+10FFFF); 0 when the byte starts none.
size_t CharacterLength(std::string_view text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return IsContinuation(text, i + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return IsContinuation(text, i + 1, low, high) && IsContinuation(text, i + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return IsContinuation(text, i + 1, low, high) && IsContinuation(text, i + 2) && IsContinuation(text, i + 3) ? 4
                                                                                                                    : 0;
    }
    return 0;
}

}  // namespace

std::string TerminalText(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsControl(byte) || (byte >= 0x80 && byte <= 0x9F)) {
            AppendEscaped(out, byte);
        } else if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

std::string TerminalName(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = CharacterLength(bytes, i);
        const size_t step = length == 0 ? 1 : length;
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const bool control = length == 0 || (length == 1 && IsControl(lead)) ||
                             (length == 2 && lead == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) <= 0x9F);
        if (control) {
            for (size_t k = 0; k < step; ++k) AppendEscaped(out, static_cast<unsigned char>(bytes[i + k]));
        } else {
            out.append(bytes.substr(i, step));
        }
        i += step;
    }
    return out;
}

void Report(std::ostream& err, std::string_view message, std::string_view program) {
    err << program << ": " << TerminalName(message) << '\n';
}

void ReportFailure(std::ostream& err, std::string_view file, std::string_view message) {
    err << TerminalName(file) << ": " << TerminalText(message) << '\n';
}

}  // namespace kelvarox::cli
