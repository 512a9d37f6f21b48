#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "download/TransferProgress.h"

namespace {

// Records every display call as one line, in order.
class RecordingDisplay : public ProgressDisplay {
public:
    std::vector<std::string> calls;
    void ShowPercent(int percent) override { calls.push_back("percent " + std::to_string(percent)); }
    void SetBarPosition(uint32_t received) override {
        calls.push_back("bar " + std::to_string(received));
    }
    void ShowRate(double rate) override { calls.push_back("rate " + std::to_string(rate)); }
    void ShowTimeLeft(uint32_t seconds, uint32_t received, uint32_t length) override {
        calls.push_back("left " + std::to_string(seconds) + " " + std::to_string(received) + "/" +
                        std::to_string(length));
    }
};

using Calls = std::vector<std::string>;

struct Block { uint32_t total; uint32_t now; Calls expected; };

void RunBlocks(TransferProgress progress, const std::vector<Block>& blocks) {
    RecordingDisplay display;
    for (const Block& block : blocks) {
        display.calls.clear();
        TrackProgress(progress, block.total, block.now, display);
        EXPECT_EQ(block.expected, display.calls) << "total " << block.total << " at " << block.now;
    }
}

TEST(TrackProgress, CaptionAndBarOnlyWhenTheWholePercentChanges) {
    RunBlocks(StartTransferProgress(5000, true, 100000), {
        {500, 5010, {}},                                   // 0 %: never shown
        {1000, 5020, {"percent 1", "bar 1000"}},
        {1999, 5030, {}},
        {2000, 5040, {"percent 2", "bar 2000"}},
    });
}

TEST(TrackProgress, WholeSmallBodyInOneBlockShowsHundredAtOnce) {
    RunBlocks(StartTransferProgress(0, true, 1000), {{1000, 10, {"percent 100", "bar 1000"}}});
}

TEST(TrackProgress, RateAndTimeLeftAfterMoreThanASecond) {
    RunBlocks(StartTransferProgress(10000, true, 4000000), {
        {1000, 11000, {}},                                 // exactly 1000 ms: not yet
        {41024, 11001, {"percent 1", "bar 41024", "rate 40.983017",
                        // 1001 ms for 41024 bytes, 3958976 to go
                        "left 96 41024/4000000"}},
        {82048, 11500, {"percent 2", "bar 82048"}},        // rate waits for the next second
        {82049, 12002, {"rate 40.984016", "left 95 82049/4000000"}},
    });
}

TEST(TrackProgress, WithoutLengthOnlyTheRateMoves) {
    RunBlocks(StartTransferProgress(0, false, 0), {
        {1024, 500, {}},
        {5000, 2000, {"rate 2.500000"}},
        {6000, 2500, {}},
    });
}

TEST(TrackProgress, TickCountWrapKeepsRateAndTimeLeftSane) {
    const uint32_t start = UINT32_MAX - 499;               // wraps 500 ms later
    RunBlocks(StartTransferProgress(start, true, 10000), {
        {2000, start + 300, {"percent 20", "bar 2000"}},
        {4000, 1500, {"percent 40", "bar 4000", "rate 2.000000", "left 3 4000/10000"}},
    });
}

TEST(TrackProgress, EmptyAnnouncedLengthWithBytesArriving) {
    RunBlocks(StartTransferProgress(0, true, 0), {
        {1024, 10, {"percent 100", "bar 1024"}},
        {2048, 1500, {"rate 1.365333", "left 0 2048/0"}},
    });
}

TEST(TrackProgress, MoreBytesThanAnnouncedStaysAtHundredWithNothingLeft) {
    RunBlocks(StartTransferProgress(0, true, 1000), {
        {1000, 10, {"percent 100", "bar 1000"}},
        {5000, 2000, {"rate 2.500000", "left 0 5000/1000"}},
    });
}

TEST(PercentOf, TruncatesAndCaps) {
    struct Case { uint32_t total; uint32_t length; int percent; } cases[] = {
        {0, 100, 0}, {99, 100, 99}, {370, 1000, 37}, {999999, 1000000, 99},
        {UINT32_MAX, UINT32_MAX, 100}, {UINT32_MAX - 1, UINT32_MAX, 99},
        {2000, 1000, 100}, {1, 0, 100},
    };
    for (const Case& c : cases) EXPECT_EQ(c.percent, PercentOf(c.total, c.length)) << c.total;
}

TEST(SecondsLeft, AverageRateSinceStartAndLimits) {
    struct Case { uint32_t elapsed; uint32_t total; uint32_t length; uint32_t seconds; } cases[] = {
        {10000, 524288, 1258291, 13},   // 10 s for 512 KB, 716.8 KB to go
        {1000, 1000, 2000, 1},
        {999, 1000, 2000, 0},           // truncated toward zero
        {1000, 0, 2000, 0},
        {1000, 3000, 2000, 0},          // more than announced
        {UINT32_MAX, 1, UINT32_MAX, UINT32_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.seconds, SecondsLeft(c.elapsed, c.total, c.length)) << c.elapsed << " " << c.total;
    }
}

}  // namespace
