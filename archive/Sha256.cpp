#include "archive/Sha256.h"

#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kelvarox::archive {

namespace {

constexpr std::array<uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr uint32_t Rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void Compress(std::array<uint32_t, 8>& h, const uint8_t* chunk) {
    std::array<uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i)
        w[i] = uint32_t{chunk[4 * i]} << 24 | uint32_t{chunk[4 * i + 1]} << 16 | uint32_t{chunk[4 * i + 2]} << 8 |
               uint32_t{chunk[4 * i + 3]};
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
    for (int i = 0; i < 64; ++i) {
        const uint32_t t1 = k + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        const uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        k = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e; h[5] += f; h[6] += g; h[7] += k;
}

#if defined(__x86_64__)
// The same with the processor's SHA instructions: two rounds an instruction, the message
// schedule four words at a time. The state lives as the words A, B, E, F in one register and
// C, D, G, H in the other, as the instructions take them.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithShaInstructions(std::array<uint32_t, 8>& h,
                                                                              const uint8_t* chunk) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    const __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&h[0])), 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&h[4])), 0x1B);
    __m128i abef = _mm_alignr_epi8(dcba, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, dcba, 0xF0);
    const __m128i abefBefore = abef, cdghBefore = cdgh;
    __m128i w[4];  // the last four groups of four message words
    for (int g = 0; g < 16; ++g) {
        __m128i words;
        if (g < 4) {
            words = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk + 16 * g)), byteSwap);
        } else {
            const __m128i& last = w[(g + 3) % 4];
            words = _mm_sha256msg1_epu32(w[g % 4], w[(g + 1) % 4]);
            words = _mm_add_epi32(words, _mm_alignr_epi8(last, w[(g + 2) % 4], 4));
            words = _mm_sha256msg2_epu32(words, last);
        }
        w[g % 4] = words;
        const __m128i k = _mm_add_epi32(words, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRound[4 * g])));
        cdgh = _mm_sha256rnds2_epu32(cdgh, abef, k);
        abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(k, 0x0E));
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&h[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&h[4]), _mm_alignr_epi8(dchg, feba, 8));
}
#endif

}  // namespace

bool detail::HasShaInstructions() {
#if defined(__x86_64__)
    static const bool has = __builtin_cpu_supports("sha") && __builtin_cpu_supports("sse4.1") &&
                            __builtin_cpu_supports("ssse3");
    return has;
#else
    return false;
#endif
}

std::string Sha256Hex(std::span<const uint8_t> bytes) { return detail::Sha256HexWith(detail::HasShaInstructions(), bytes); }

std::string detail::Sha256HexWith(bool instructions, std::span<const uint8_t> bytes) {
    auto compress = Compress;
#if defined(__x86_64__)
    if (instructions) compress = CompressWithShaInstructions;
#else
    (void)instructions;
#endif
    std::array<uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    size_t whole = bytes.size() / 64 * 64;
    for (size_t i = 0; i < whole; i += 64) compress(h, bytes.data() + i);
    // The tail, the bit 1, zeros and the length in bits fill one or two last chunks.
    std::array<uint8_t, 128> tail{};
    const size_t rest = bytes.size() - whole;
    for (size_t i = 0; i < rest; ++i) tail[i] = bytes[whole + i];
    tail[rest] = 0x80;
    const size_t tailSize = rest < 56 ? 64 : 128;
    const uint64_t bits = static_cast<uint64_t>(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i) tail[tailSize - 1 - static_cast<size_t>(i)] = static_cast<uint8_t>(bits >> (8 * i));
    for (size_t i = 0; i < tailSize; i += 64) compress(h, tail.data() + i);

    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (uint32_t word : h)
        for (int shift = 28; shift >= 0; shift -= 4) hex += kDigits[(word >> shift) & 0xF];
    return hex;
}

}  // namespace kelvarox::archive
