#pragma once
// SHA-256 of a block's bytes: the archive's identity of a block, whatever its file name.
#include <cstdint>
#include <span>
#include <string>

namespace kelvarox::archive {

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::span<const uint8_t> bytes);

}  // namespace kelvarox::archive
