// SHA-256 (FIPS 180-4), fed piece by piece, so that a download is hashed as
// it is written. Our own: the systems the setup runs on include 98 and 2000,
// whose cryptographic services lack SHA-256.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kSha256DigestBytes = 32;
using Sha256Digest = std::array<std::uint8_t, kSha256DigestBytes>;

class Sha256 {
public:
    Sha256();

    void Update(const void* bytes, std::size_t size);

    // The digest of everything given so far; more may be given afterwards.
    Sha256Digest Digest() const;

private:
    static constexpr std::size_t kBlockBytes = 64;
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, kBlockBytes> m_pending{};
    std::size_t m_pendingBytes = 0;
    std::uint64_t m_totalBytes = 0;
};

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(const Sha256Digest& digest);
