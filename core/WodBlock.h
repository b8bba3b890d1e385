#pragma once
// The WOD block: one 512-byte telemetry file with a text header and one-byte samples, and
// the decoding of its header fields.
#include <array>
#include <cstdint>
#include <string>

namespace kelvarox {

inline constexpr int kBlockFileSize = 512;
// The last byte of a block file: header addresses run from 0 to here.
inline constexpr int32_t kLastBlockByte = kBlockFileSize - 1;
inline constexpr int kFirstSampleOffset = 64;
// The series has room for this many samples; a header that announces more is cut to it.
inline constexpr int kSeriesCapacity = 384;

// The block buffer: bytes 0 to 511 from the file and byte 512 always 0.
struct WodBlock {
    std::array<uint8_t, kBlockFileSize + 1> bytes{};

    // "Who" at bytes 3, 4 and 5: the block is a WOD block.
    bool HasSignature() const;
    // Raw sample i, the byte at offset 64 + i; 0 for an index outside the block.
    uint8_t RawSample(int i) const;
};

// The eight byte addresses of the header fields, counted from byte 0 of the block.
struct BlockLayout {
    int32_t startAmDayAddr = 464;
    int32_t endAmDayAddr = 495;
    int32_t startOrbitAddr = 471;
    int32_t endOrbitAddr = 502;
    int32_t startMAAddr = 473;
    int32_t endMAAddr = 504;
    int32_t maStepAddr = 36;
    int32_t channelAddr = 60;

    static constexpr int kFieldCount = 8;
    // The fields in their fixed order (start AmDay ... channel).
    int32_t& Field(int index);
    int32_t Field(int index) const;
    static BlockLayout Defaults() { return {}; }
    bool operator==(const BlockLayout&) const = default;
};

// The decoded and derived values of the loaded block.
struct BlockHeader {
    int32_t startAmDay = 0;
    int32_t endAmDay = 0;
    std::string startDateText;
    std::string endDateText;
    int32_t startOrbit = 0;
    int32_t endOrbit = 0;
    int32_t startMA = 0;
    int32_t endMA = 0;
    int32_t maStep = 0;
    int32_t channel = 0;
    int32_t coefficientRow = 0;
    int32_t startPosition = 0;
    int32_t endPosition = 0;
    int32_t lastSampleIndex = 0;
    int32_t firstMA = 0;

    // The number of samples every consumer works with: lastSampleIndex + 1, none when that
    // is negative, never more than the series holds.
    int SampleCount() const;
};

// Decodes the header field of `width` characters at `address`: the characters that are not
// blanks, read left to right, converted as a decimal number, or as a hexadecimal one after
// the prefix "0x". Only characters inside the block count: a zero byte (byte 512 is one)
// ends the text, positions before byte 0 are passed over. A text that is no number raises
// "'%s' is not a valid integer value".
int32_t DecodeDecimalField(const WodBlock& block, int32_t address, int width);
int32_t DecodeHexField(const WodBlock& block, int32_t address, int width);

// The outcome of reading a block file.
enum class ReadOutcome { Read, ImproperLength };

// Reads the regular file at `path` into `block` when it is exactly 512 bytes long: clears all
// 513 bytes, then fills 0 to 511. Anything else (no such file, no permission, another length,
// not a regular file, a file that changes length while read) leaves `block` as it was.
[[nodiscard]] ReadOutcome ReadBlockBytes(const std::string& path, WodBlock& block);

// Signed 32-bit arithmetic that wraps modulo 2^32 instead of overflowing.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
// OrbitHiByte x 256 (a shift by 8 bits), wrapping.
inline int32_t OrbitBaseOf(int32_t orbitHiByte) {
    return static_cast<int32_t>(static_cast<uint32_t>(orbitHiByte) << 8);
}
// Integer division truncating toward zero; raises "Division by zero" for a zero divisor.
int32_t WrapDiv(int32_t a, int32_t b);
// Remainder with the sign of the dividend; raises "Division by zero" for a zero divisor.
int32_t WrapMod(int32_t a, int32_t b);

}  // namespace kelvarox
