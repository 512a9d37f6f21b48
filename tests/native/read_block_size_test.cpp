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

// Only a read that may wait tells the end: a no-wait read's empty answer
// (which a stack may give for "not yet") never ends the body, and one the
// stack finishes later is read again rather than taken as bytes.
TEST(ReadBlockSize, ANoWaitReadNeverTellsTheEnd) {
    struct Case {
        bool finished;
        uint32_t got;
        NoWaitAnswer answer;
    } const cases[] = {
        {true, 1, NoWaitAnswer::TakeBytes},
        {true, kMaxReadBlockBytes, NoWaitAnswer::TakeBytes},
        {true, 0, NoWaitAnswer::AskForEnd},
        // The stack's count is no answer before it finished the read.
        {false, 0, NoWaitAnswer::AwaitBytes},
        {false, kMaxReadBlockBytes, NoWaitAnswer::AwaitBytes},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.answer, AnswerOfNoWaitRead(c.finished, c.got)) << c.finished << " " << c.got;
    }
}
