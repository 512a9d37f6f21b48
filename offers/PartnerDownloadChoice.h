// Which of the maker's two download servers serves a partner installer: the
// alternative one takes one download in nine, the main one the rest.
#pragma once

#include <cstdint>
#include <functional>

// The generator behind the choice: a 15-bit linear congruential sequence, so
// that a seed gives the same draws on every platform and in every runtime.
class PartnerRandom {
public:
    explicit PartnerRandom(std::uint32_t seed) : m_state(seed) {}
    unsigned Next();

private:
    std::uint32_t m_state;
};

// Draws r := draw() mod 3 and, when r is 2, draws once more; the alternative
// base when r ends as 2, else the main base.
const char* ChoosePartnerDownloadBase(const std::function<unsigned()>& draw);

// The same choice from a freshly seeded generator.
const char* ChoosePartnerDownloadBaseForSeed(std::uint32_t seed);
