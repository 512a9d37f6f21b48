#include "download/BodyLimits.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kTooLargeToCount = std::numeric_limits<uint64_t>::max();

}  // namespace

// The header's digits, never a wrapped value: a length past 32 bits or past
// any count must still fail the bound, not slip under it.
TEST(BodyLimits, AnnouncedLengthIsNeverWrapped) {
    struct Case {
        const char* text;
        uint64_t length;
    } const cases[] = {
        {"0", 0},
        {"1000", 1000},
        {"268435457", uint64_t{kMaxBodyBytes} + 1},
        {"4294967296", uint64_t{1} << 32},
        {"18446744073709551615", kTooLargeToCount},
        {"99999999999999999999999", kTooLargeToCount},
        {"12 bytes", 12},
        {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.length, AnnouncedLength(c.text)) << c.text;
}

TEST(BodyLimits, ABlockPassesTheLimitOnlyBeyondIt) {
    struct Case {
        uint64_t total;
        uint32_t got;
        uint64_t limit;
        bool passes;
    } const cases[] = {
        {0, 1024, kMaxBodyBytes, false},
        {kMaxBodyBytes - 1024, 1024, kMaxBodyBytes, false},
        {kMaxBodyBytes - 1024, 1025, kMaxBodyBytes, true},
        {kMaxBodyBytes, 1, kMaxBodyBytes, true},
        // Near the 32-bit end a sum would wrap below the limit.
        {0xFFFFFF00u, 0x200, 0xFFFFFFFFu, true},
        {kMaxLoginReplyBytes - 50, 50, kMaxLoginReplyBytes, false},
        {kMaxLoginReplyBytes, 50, kMaxLoginReplyBytes, true},
        {kMaxLoginReplyBytes + 50, 0, kMaxLoginReplyBytes, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.passes, PassesLimit(c.total, c.got, c.limit))
            << c.total << " + " << c.got << " vs " << c.limit;
    }
}

// Only an announced length shows a body that ended early.
TEST(BodyLimits, CutShortOnlyAgainstAnAnnouncedLength) {
    struct Case {
        bool lengthKnown;
        uint64_t length;
        uint64_t total;
        bool cut;
    } const cases[] = {
        {true, 50000, 20000, true},
        {true, 5000, 0, true},
        {true, 50000, 50000, false},
        {true, 0, 0, false},
        {false, 0, 20000, false},
        {false, 0, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.cut, CutShort(c.lengthKnown, c.length, c.total))
            << c.lengthKnown << " " << c.length << " " << c.total;
    }
}
