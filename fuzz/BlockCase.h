#pragma once
// One run of the block target: the block file's bytes, the layout and the texts of the main
// window's boxes, as the fuzzer's bytes give them.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "core/WodBlock.h"

namespace kelvarox::fuzz {

struct BlockCase {
    enum Flag : uint8_t {
        kExactLength = 1,  // the file is cut or padded with zeros to 512 bytes
        kSignature = 2,    // "Who" is written at bytes 3 to 5
        kLoadAgain = 4,    // a second load of a missing file decodes the buffer again
    };
    uint8_t flags = 0;
    BlockLayout layout;
    std::string orbitHiByte;
    // The coefficient boxes a, b, c, d and the Hex# box as typed after the load; no text: as
    // the load left the box.
    std::array<std::optional<std::string>, 4> coefficients;
    std::optional<std::string> number;
    float displayScale = 1.0f;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    std::vector<uint8_t> file;

    static BlockCase Read(const uint8_t* data, size_t size) {
        ByteReader in(data, size);
        BlockCase c;
        c.flags = in.Byte();
        for (int i = 0; i < BlockLayout::kFieldCount; ++i) c.layout.Field(i) = in.Int32();
        c.orbitHiByte = in.Text();
        for (auto& box : c.coefficients) box = in.OptionalText();
        c.number = in.OptionalText();
        c.displayScale = in.Float();
        c.cursorX = in.Int32();
        c.cursorY = in.Int32();
        c.file = in.Rest();
        if (c.flags & kExactLength) c.file.resize(kBlockFileSize, 0);
        if ((c.flags & kSignature) && c.file.size() >= 6) {
            c.file[3] = 'W';
            c.file[4] = 'h';
            c.file[5] = 'o';
        }
        return c;
    }

    std::vector<uint8_t> Write() const {
        ByteWriter out;
        out.Byte(flags);
        for (int i = 0; i < BlockLayout::kFieldCount; ++i) out.Int32(layout.Field(i));
        out.Text(orbitHiByte);
        for (const auto& box : coefficients) out.OptionalText(box);
        out.OptionalText(number);
        out.Float(displayScale);
        out.Int32(cursorX);
        out.Int32(cursorY);
        out.Bytes(file);
        return out.bytes();
    }
};

}  // namespace kelvarox::fuzz
