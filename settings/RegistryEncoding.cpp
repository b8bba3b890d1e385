#include "settings/RegistryEncoding.h"

#include <cstdint>

namespace kelvarox {

namespace {

bool InRange(std::string_view text, size_t i, unsigned low, unsigned high) {
    if (i >= text.size()) return false;
    const auto b = static_cast<unsigned char>(text[i]);
    return b >= low && b <= high;
}

bool IsContinuation(std::string_view text, size_t i) { return InRange(text, i, 0x80, 0xBF); }

bool IsLowSurrogateAt(std::string_view text, size_t i) {
    return InRange(text, i, 0xED, 0xED) && InRange(text, i + 1, 0xB0, 0xBF) && IsContinuation(text, i + 2);
}

// The length of the UTF-8 character at text[i]; 0 when the byte starts none. A high
// surrogate right before a low one is no character: the two would read back as one pair.
size_t CharacterLength(std::string_view text, size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return IsContinuation(text, i + 1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const unsigned low = b == 0xE0 ? 0xA0 : 0x80;
        if (!InRange(text, i + 1, low, 0xBF) || !IsContinuation(text, i + 2)) return 0;
        const bool highSurrogate = b == 0xED && InRange(text, i + 1, 0xA0, 0xAF);
        return highSurrogate && IsLowSurrogateAt(text, i + 3) ? 0 : 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const unsigned low = b == 0xF0 ? 0x90 : 0x80;
        const unsigned high = b == 0xF4 ? 0x8F : 0xBF;
        return InRange(text, i + 1, low, high) && IsContinuation(text, i + 2) && IsContinuation(text, i + 3) ? 4 : 0;
    }
    return 0;
}

// The code point at text[i] and its length in bytes, a stray byte as its Latin-1 character.
uint32_t NextCodePoint(std::string_view text, size_t i, size_t& length) {
    length = CharacterLength(text, i);
    const auto b = static_cast<unsigned char>(text[i]);
    if (length <= 1) {
        length = 1;
        return b;
    }
    static constexpr unsigned kLeadMask[] = {0, 0, 0x1F, 0x0F, 0x07};
    uint32_t cp = b & kLeadMask[length];
    for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
    return cp;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendUnit(std::string& out, uint32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
}

}  // namespace

std::optional<std::string> Utf16LeToUtf8(std::string_view bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    auto unitAt = [&](size_t k) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[k])) |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[k + 1])) << 8;
    };
    std::string out;
    out.reserve(bytes.size() / 2 + bytes.size() / 8);
    for (size_t k = 0; k < bytes.size(); k += 2) {
        uint32_t cp = unitAt(k);
        if (cp >= 0xD800 && cp <= 0xDBFF && k + 3 < bytes.size()) {
            const uint32_t next = unitAt(k + 2);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
                k += 2;
            }
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0, length = 0; i < text.size(); i += length) {
        const uint32_t cp = NextCodePoint(text, i, length);
        if (cp < 0x10000) {
            AppendUnit(out, cp);
        } else {
            AppendUnit(out, 0xD800 + ((cp - 0x10000) >> 10));
            AppendUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0, length = 0; i < text.size(); i += length) {
        const size_t valid = CharacterLength(text, i);
        if (valid != 0) {
            out.append(text.substr(i, valid));
            length = valid;
        } else {
            AppendUtf8(out, static_cast<unsigned char>(text[i]));
            length = 1;
        }
    }
    return out;
}

}  // namespace kelvarox
