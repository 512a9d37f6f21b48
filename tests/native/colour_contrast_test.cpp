#include <gtest/gtest.h>

#include <vector>

#include "framework/ColourContrast.h"

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kLinkBlue{0, 0, 238};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kNavy{0, 0, 128};
constexpr Rgb kButtonFace{212, 208, 200};

TEST(ContrastRatio, RunsFromOneToTwentyOneWhicheverColourComesFirst) {
    const struct {
        Rgb first;
        Rgb second;
        double expected;
    } cases[] = {
        {kBlack, kWhite, 21.0},
        {kWhite, kBlack, 21.0},
        {kWhite, kWhite, 1.0},
        {kLinkBlue, kBlack, 2.23},  // the standard link on a black face
        {kLinkBlue, kButtonFace, 6.11},
    };
    for (const auto& c : cases) EXPECT_NEAR(c.expected, ContrastRatio(c.first, c.second), 0.01);
}

TEST(MostReadable, TakesTheFirstReadableCandidateElseTheBest) {
    const struct {
        std::vector<Rgb> candidates;
        Rgb background;
        size_t expected;
    } cases[] = {
        {{kNavy, kYellow, kWhite}, kBlack, 1},      // navy does not read on black
        {{kYellow, kWhite}, kBlack, 0},             // the first readable one, not the best
        {{kNavy, kLinkBlue}, kBlack, 1},            // none reads: the most contrast
        {{kWhite, kWhite}, kWhite, 0},              // equals: the first
        {{}, kBlack, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, MostReadable(c.candidates.data(), c.candidates.size(), c.background));
    }
}

}  // namespace
