#pragma once
// What the fuzz targets share: reading a run's values from the fuzzer's bytes (and writing
// them, for the seeds), and stopping at a broken property so that libFuzzer keeps the input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace kelvarox::fuzz {

[[noreturn]] inline void Broken(const char* property, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                       \
    do {                                                                            \
        if (!(condition)) ::kelvarox::fuzz::Broken(#condition, __FILE__, __LINE__); \
    } while (0)

// Reads values front to back. Past the end every number is 0 and every text empty, so any
// byte string is a valid input.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t Bits32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Byte()) << (8 * i);
        return v;
    }
    int32_t Int32() { return static_cast<int32_t>(Bits32()); }
    float Float() {
        const uint32_t bits = Bits32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // A length byte, then that many bytes (fewer when the input ends first).
    std::string Text() { return Take(Byte()); }
    // As Text, but the length byte 255 stands for no text at all.
    std::optional<std::string> OptionalText() {
        const uint8_t length = Byte();
        if (length == kAbsent) return std::nullopt;
        return Take(length);
    }
    std::vector<uint8_t> Rest() {
        std::vector<uint8_t> rest(data_ + pos_, data_ + size_);
        pos_ = size_;
        return rest;
    }

    static constexpr uint8_t kAbsent = 255;

private:
    std::string Take(size_t length) {
        const size_t n = std::min(length, size_ - pos_);
        std::string text(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return text;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The counterpart of ByteReader for writing seeds.
class ByteWriter {
public:
    void Byte(uint8_t b) { bytes_.push_back(b); }
    void Bits32(uint32_t v) {
        for (int i = 0; i < 4; ++i) Byte(static_cast<uint8_t>(v >> (8 * i)));
    }
    void Int32(int32_t v) { Bits32(static_cast<uint32_t>(v)); }
    void Float(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        Bits32(bits);
    }
    void Text(const std::string& text) {  // at most 254 bytes
        Byte(static_cast<uint8_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
    }
    void OptionalText(const std::optional<std::string>& text) {
        if (text)
            Text(*text);
        else
            Byte(ByteReader::kAbsent);
    }
    void Bytes(const std::vector<uint8_t>& bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace kelvarox::fuzz
