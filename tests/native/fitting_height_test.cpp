#include <gtest/gtest.h>

#include "framework/FittingHeight.h"

namespace {

// A box that takes heights up to `limit`, but for the ones in `refused` (a
// hinted face may draw one size wider than the next larger).
TEST(LargestFittingHeight, TakesTheLargestThatFitsNeverBelowTheFloor) {
    const struct {
        int wanted, floor, limit, refused, expected;
        const char* why;
    } cases[] = {
        {20, 13, 99, 0, 20, "fits as asked: unchanged"},
        {30, 13, 24, 0, 24, "too wide at 30: the largest that fits"},
        {30, 13, 24, 24, 23, "a size that does not fit is skipped, not the rest"},
        {30, 16, 10, 0, 16, "nothing fits: the body text's height"},
        {12, 16, 99, 0, 12, "asked below the floor: left as asked"},
        {16, 16, 10, 0, 16, "the floor itself is asked for: kept"},
    };
    for (const auto& c : cases) {
        const int got = LargestFittingHeight(c.wanted, c.floor, [&](int height) {
            return height <= c.limit && height != c.refused;
        });
        EXPECT_EQ(c.expected, got) << c.why;
    }
}

}  // namespace
