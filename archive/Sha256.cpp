#include "archive/Sha256.h"

#include <nettle/base16.h>
#include <nettle/sha2.h>

namespace kelvarox::archive {

// Nettle's SHA-256, which uses the processor's SHA instructions where it has them.
std::string Sha256Hex(std::span<const uint8_t> bytes) {
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, bytes.size(), bytes.data());
    uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&context, sizeof digest, digest);
    std::string hex(BASE16_ENCODE_LENGTH(SHA256_DIGEST_SIZE), '\0');
    base16_encode_update(hex.data(), sizeof digest, digest);  // lower-case digits
    return hex;
}

}  // namespace kelvarox::archive
