#include "download/ReadBlockSize.h"

#include <gtest/gtest.h>

// A fast line reaches the largest block within a few reads, a slow one falls
// back to the smallest, and a short read (all the line had) keeps the size.
TEST(ReadBlockSize, FollowsTheLineWithinItsBounds) {
    struct Case {
        uint32_t asked, got, elapsedMs, next;
    } const cases[] = {
        {1024, 1024, 0, 2048},
        {32768, 32768, kReadFastMs - 1, kMaxReadBlockBytes},
        {kMaxReadBlockBytes, kMaxReadBlockBytes, 0, kMaxReadBlockBytes},
        {4096, 4096, kReadFastMs, 4096},
        {4096, 4096, kReadSlowMs, 4096},
        {4096, 4096, kReadSlowMs + 1, 2048},
        {1024, 1024, 5000, kMinReadBlockBytes},
        {8192, 100, 0, 8192},
        {8192, 100, 900, 4096},
        {8192, 0, 0, 8192},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.next, NextReadBlockBytes(c.asked, c.got, c.elapsedMs))
            << c.asked << " " << c.got << " " << c.elapsedMs;
    }
}
