#include "core/WodBlock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "core/Conversions.h"
#include "core/Errors.h"

namespace kelvarox {

bool WodBlock::HasSignature() const { return bytes[3] == 'W' && bytes[4] == 'h' && bytes[5] == 'o'; }

uint8_t WodBlock::RawSample(int i) const {
    const int offset = kFirstSampleOffset + i;
    return (i >= 0 && offset < kBlockFileSize) ? bytes[static_cast<size_t>(offset)] : 0;
}

int32_t& BlockLayout::Field(int index) {
    int32_t* fields[kFieldCount] = {&startAmDayAddr, &endAmDayAddr, &startOrbitAddr, &endOrbitAddr,
                                    &startMAAddr,    &endMAAddr,    &maStepAddr,     &channelAddr};
    return *fields[index];
}

int32_t BlockLayout::Field(int index) const { return const_cast<BlockLayout*>(this)->Field(index); }

int BlockHeader::SampleCount() const {
    if (lastSampleIndex < 0) return 0;
    return lastSampleIndex >= kSeriesCapacity ? kSeriesCapacity : lastSampleIndex + 1;
}

namespace {

std::string FieldText(const WodBlock& block, int32_t address, int width) {
    std::string text;
    for (int k = 0; k < width; ++k) {
        const int64_t pos = static_cast<int64_t>(address) + k;
        if (pos < 0) continue;
        if (pos > kBlockFileSize) break;
        const uint8_t c = block.bytes[static_cast<size_t>(pos)];
        if (c == 0) break;
        if (c != ' ') text += static_cast<char>(c);
    }
    return text;
}

}  // namespace

int32_t DecodeDecimalField(const WodBlock& block, int32_t address, int width) {
    return DecimalOrThrow(FieldText(block, address, width));
}

int32_t DecodeHexField(const WodBlock& block, int32_t address, int width) {
    return HexOrThrow("0x" + FieldText(block, address, width));
}

ReadOutcome ReadBlockBytes(const std::string& path, WodBlock& block) {
    if (path.empty()) return ReadOutcome::ImproperLength;
    // Non-blocking, so that a FIFO never stalls the open; only a regular file is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return ReadOutcome::ImproperLength;
    std::array<uint8_t, kBlockFileSize + 1> data{};
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size == kBlockFileSize;
    size_t got = 0;
    while (ok && got < static_cast<size_t>(kBlockFileSize)) {
        const ssize_t n = ::read(fd, data.data() + got, static_cast<size_t>(kBlockFileSize) - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;  // a read error, or the file shrank while read
        else
            got += static_cast<size_t>(n);
    }
    // The end of the file must follow: a file that grew while read is no block either.
    if (ok) {
        uint8_t extra = 0;
        ssize_t n = 0;
        do {
            n = ::read(fd, &extra, 1);
        } while (n < 0 && errno == EINTR);
        ok = n == 0;
    }
    ::close(fd);
    if (!ok) return ReadOutcome::ImproperLength;
    block.bytes = data;
    return ReadOutcome::Read;
}

int32_t WrapDiv(int32_t a, int32_t b) {
    if (b == 0) throw KelvaroxError(msg::kDivisionByZero);
    if (a == INT32_MIN && b == -1) return INT32_MIN;
    return a / b;
}

int32_t WrapMod(int32_t a, int32_t b) {
    if (b == 0) throw KelvaroxError(msg::kDivisionByZero);
    if (b == -1) return 0;
    return a % b;
}

}  // namespace kelvarox
