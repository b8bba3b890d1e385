#pragma once
// File names are bytes: a capture program may write a name that is no UTF-8 (a Latin-1 é). The
// windows hold names as UTF-16 text, so every name is read as UTF-8 where it is valid and each
// other byte is kept as a lone low surrogate (0xDC00 plus the byte), which no valid UTF-8 can
// give. The two functions are inverse: a name read from a directory reaches open() unchanged.
#include <string>
#include <string_view>

namespace kelvarox {

// The text of a file name or path, every byte kept.
std::u16string FileNameToUtf16(std::string_view bytes);

// The bytes of a file name or path, as FileNameToUtf16 read them; other text in UTF-8 (a lone
// surrogate that no byte stands behind becomes U+FFFD).
std::string FileNameFromUtf16(std::u16string_view text);

// A kept byte (0x80 to 0xFF) of a name that is no UTF-8, or -1 for any other UTF-16 unit.
constexpr int KeptFileNameByte(char16_t unit) {
    return (unit >= 0xDC80 && unit <= 0xDCFF) ? static_cast<int>(unit - 0xDC00) : -1;
}

}  // namespace kelvarox
