#include "download/Sha256.h"

#include <algorithm>
#include <cstring>

namespace {

// The first 32 bits of the fractional parts of the cube roots of the first 64
// primes.
constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// The first 32 bits of the fractional parts of the square roots of the first
// eight primes.
constexpr std::array<std::uint32_t, 8> kInitialState = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

// The message length ends the padding as a 64-bit count of bits.
constexpr std::size_t kLengthBytes = 8;
constexpr std::uint8_t kPaddingStart = 0x80;

constexpr std::uint32_t RotateRight(std::uint32_t value, unsigned bits) {
    return (value >> bits) | (value << (32 - bits));
}

std::uint32_t ReadBigEndian(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

}  // namespace

Sha256::Sha256() : m_state(kInitialState) {}

void Sha256::Compress(const std::uint8_t* block) {
    std::uint32_t schedule[64];
    for (int t = 0; t < 16; ++t) schedule[t] = ReadBigEndian(block + 4 * t);
    for (int t = 16; t < 64; ++t) {
        const std::uint32_t w15 = schedule[t - 15];
        const std::uint32_t w2 = schedule[t - 2];
        const std::uint32_t sigma0 = RotateRight(w15, 7) ^ RotateRight(w15, 18) ^ (w15 >> 3);
        const std::uint32_t sigma1 = RotateRight(w2, 17) ^ RotateRight(w2, 19) ^ (w2 >> 10);
        schedule[t] = sigma1 + schedule[t - 7] + sigma0 + schedule[t - 16];
    }

    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    std::uint32_t e = m_state[4], f = m_state[5], g = m_state[6], h = m_state[7];
    for (int t = 0; t < 64; ++t) {
        const std::uint32_t sum1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
        const std::uint32_t choose = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + sum1 + choose + kRoundConstants[t] + schedule[t];
        const std::uint32_t sum0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = sum0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
    m_state[4] += e;
    m_state[5] += f;
    m_state[6] += g;
    m_state[7] += h;
}

void Sha256::Update(const void* bytes, std::size_t size) {
    const auto* next = static_cast<const std::uint8_t*>(bytes);
    m_totalBytes += size;
    if (m_pendingBytes != 0) {
        const std::size_t taken = std::min(size, kBlockBytes - m_pendingBytes);
        std::memcpy(m_pending.data() + m_pendingBytes, next, taken);
        m_pendingBytes += taken;
        next += taken;
        size -= taken;
        if (m_pendingBytes < kBlockBytes) return;
        Compress(m_pending.data());
        m_pendingBytes = 0;
    }
    for (; size >= kBlockBytes; next += kBlockBytes, size -= kBlockBytes) Compress(next);
    if (size != 0) std::memcpy(m_pending.data(), next, size);
    m_pendingBytes = size;
}

Sha256Digest Sha256::Digest() const {
    // Padding goes into a copy, so that the running hash can go on.
    Sha256 last = *this;
    const std::uint64_t bits = m_totalBytes * 8;
    std::uint8_t tail[2 * kBlockBytes] = {kPaddingStart};
    // One 0x80 byte, zeros up to 8 bytes before a block's end, the length.
    const std::size_t zerosAndStart =
        (m_pendingBytes < kBlockBytes - kLengthBytes ? kBlockBytes : 2 * kBlockBytes) -
        kLengthBytes - m_pendingBytes;
    for (std::size_t i = 0; i < kLengthBytes; ++i) {
        tail[zerosAndStart + i] = static_cast<std::uint8_t>(bits >> (8 * (kLengthBytes - 1 - i)));
    }
    last.Update(tail, zerosAndStart + kLengthBytes);

    Sha256Digest digest;
    for (std::size_t word = 0; word < last.m_state.size(); ++word) {
        for (std::size_t i = 0; i < 4; ++i) {
            digest[4 * word + i] = static_cast<std::uint8_t>(last.m_state[word] >> (24 - 8 * i));
        }
    }
    return digest;
}

std::string Sha256Hex(const Sha256Digest& digest) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * digest.size());
    for (std::uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}
