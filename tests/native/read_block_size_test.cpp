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
        // A slow read drops straight back: the next one may be a trickle's.
        {kMaxReadBlockBytes, kMaxReadBlockBytes, kReadSlowMs + 1, kMinReadBlockBytes},
        {4096, 4096, kReadSlowMs + 1, kMinReadBlockBytes},
        {1024, 1024, 5000, kMinReadBlockBytes},
        // Reads of what had arrived grow from the smallest block, never below it.
        {100, 100, 0, kMinReadBlockBytes},
        {100, 100, kReadFastMs, kMinReadBlockBytes},
        {8192, 100, 0, 8192},
        {8192, 100, 900, kMinReadBlockBytes},
        {8192, 0, 0, 8192},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.next, NextReadBlockBytes(c.asked, c.got, c.elapsedMs))
            << c.asked << " " << c.got << " " << c.elapsedMs;
    }
}

// At the smallest block a read asks for no more than has arrived, so a line
// that slowed never keeps it waiting; larger blocks are the fast line's.
TEST(ReadBlockSize, TheSmallestBlockAsksOnlyForWhatArrived) {
    struct Case {
        uint32_t asked, available, now;
        bool whatArrived;
    } const cases[] = {
        {kMinReadBlockBytes, 100, 100, true},
        {kMinReadBlockBytes, 8192, kMinReadBlockBytes, true},
        // Nothing arrived: the whole block, which waits or tells the end.
        {kMinReadBlockBytes, 0, kMinReadBlockBytes, true},
        {2048, 100, 100, false},
        {kMaxReadBlockBytes, 0, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.whatArrived, ReadsWhatArrived(c.asked)) << c.asked;
        if (c.whatArrived) EXPECT_EQ(c.now, ReadBytesNow(c.asked, c.available)) << c.available;
    }
}
