#include "offers/PartnerDownloadChoice.h"

#include "product/WebHosts.h"

namespace {
constexpr std::uint32_t kMultiplier = 214013u;
constexpr std::uint32_t kIncrement = 2531011u;
constexpr unsigned kDrawBits = 0x7FFFu;
constexpr unsigned kDrawShift = 16;
constexpr unsigned kSides = 3;
constexpr unsigned kAlternativeSide = 2;
}  // namespace

unsigned PartnerRandom::Next() {
    // Unsigned arithmetic wraps modulo 2^32, which is the sequence's modulus.
    m_state = m_state * kMultiplier + kIncrement;
    return (m_state >> kDrawShift) & kDrawBits;
}

const char* ChoosePartnerDownloadBase(const std::function<unsigned()>& draw) {
    unsigned side = draw() % kSides;
    if (side == kAlternativeSide) side = draw() % kSides;
    return side == kAlternativeSide ? kAltDownloadBase : kMainDownloadBase;
}

const char* ChoosePartnerDownloadBaseForSeed(std::uint32_t seed) {
    PartnerRandom random(seed);
    return ChoosePartnerDownloadBase([&random] { return random.Next(); });
}
