#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "product/WebHosts.h"
#include "offers/PartnerDownloadChoice.h"

namespace {

struct ScriptedDraws {
    std::vector<unsigned> values;
    size_t used = 0;
    unsigned operator()() { return values.at(used++); }
};

TEST(ChoosePartnerDownloadBase, SecondDrawOnlyAfterATwo) {
    struct Case {
        std::vector<unsigned> draws;
        const char* expected;
        size_t drawsUsed;
    } cases[] = {
        {{0}, kMainDownloadBase, 1},
        {{1}, kMainDownloadBase, 1},
        {{3}, kMainDownloadBase, 1},
        {{4}, kMainDownloadBase, 1},
        {{2, 0}, kMainDownloadBase, 2},
        {{2, 1}, kMainDownloadBase, 2},
        {{5, 2}, kAltDownloadBase, 2},
        {{2, 2}, kAltDownloadBase, 2},
        {{32765, 32765}, kAltDownloadBase, 2},
        {{32765, 32766}, kMainDownloadBase, 2},
        {{32767}, kMainDownloadBase, 1},
    };
    for (const Case& c : cases) {
        ScriptedDraws draws{c.draws};
        EXPECT_STREQ(c.expected, ChoosePartnerDownloadBase(std::ref(draws))) << "first draw " << c.draws[0];
        EXPECT_EQ(c.drawsUsed, draws.used) << "first draw " << c.draws[0];
    }
}

TEST(ChoosePartnerDownloadBase, BasesEndInThePartnerFolder) {
    for (const std::string base : {kMainDownloadBase, kAltDownloadBase}) {
        EXPECT_EQ(0u, base.rfind("http://", 0)) << base;
        ASSERT_GT(base.size(), 8u);
        EXPECT_EQ("/google/", base.substr(base.size() - 8)) << base;
    }
    EXPECT_STRNE(kMainDownloadBase, kAltDownloadBase);
}

TEST(PartnerRandom, SameSeedSameSequenceAndDrawsFit15Bits) {
    PartnerRandom a(12345), b(12345), c(12346);
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        const unsigned x = a.Next();
        EXPECT_EQ(x, b.Next());
        EXPECT_LE(x, 0x7FFFu);
        differs |= x != c.Next();
    }
    EXPECT_TRUE(differs);
}

// The seed is a millisecond tick count: consecutive values (a run started in
// the same second), widely spread ones and the wrap-around must all keep the
// eight-to-one split.
TEST(ChoosePartnerDownloadBaseForSeed, AlternativeTakesOneInNine) {
    struct Case {
        const char* name;
        std::uint32_t first;
        std::uint32_t step;
    } cases[] = {
        {"consecutive ticks", 0u, 1u},
        {"ticks of a day-old system", 86400000u, 1u},
        {"ticks near the wrap", 0xFFFF0000u, 1u},
        {"spread ticks", 17u, 104729u},
        {"ticks 16 ms apart", 3000u, 16u},
    };
    constexpr int kSeeds = 180000;
    for (const Case& c : cases) {
        int alternative = 0;
        std::uint32_t seed = c.first;
        for (int i = 0; i < kSeeds; ++i, seed += c.step) {
            alternative += std::strcmp(ChoosePartnerDownloadBaseForSeed(seed), kAltDownloadBase) == 0;
        }
        const double share = static_cast<double>(alternative) / kSeeds;
        EXPECT_NEAR(1.0 / 9.0, share, 0.006) << c.name;
    }
}

}  // namespace
