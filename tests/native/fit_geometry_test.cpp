#include "controls/FitGeometry.h"

#include <gtest/gtest.h>

namespace {

// A label at (100,50)-(200,70) in its parent, with a 1-unit border all round
// (client 98 x 18), unless a case says otherwise.
const LabelRect kWindow{100, 50, 200, 70};
const LabelRect kClient{101, 51, 199, 69};

TEST(FitLabelToText, KeepsTheEdgeItsAlignmentNames) {
    const struct {
        const char* name;
        unsigned style;
        int textWidth, textHeight;
        LabelRect expected;
    } cases[] = {
        // New size: text + border (2) in both directions.
        {"left, shrinking", 0, 40, 13, {100, 50, 142, 65}},
        {"left, growing", 0, 150, 30, {100, 50, 252, 82}},
        {"right keeps right edge", kLabelRightAligned, 40, 13, {158, 50, 200, 65}},
        {"right, growing leftwards", kLabelRightAligned, 150, 13, {48, 50, 200, 65}},
        {"centre keeps centre", kLabelCentred, 40, 13, {129, 50, 171, 65}},
        // 100 - 43 = 57: 28 off the left, 28 off the right, the odd unit stays right.
        {"centre, odd difference", kLabelCentred, 41, 13, {128, 50, 172, 65}},
        // -49 / 2 truncates to -24: grows by 24 on each side, one short of the text.
        {"centre, growing, odd", kLabelCentred, 147, 13, {76, 50, 224, 65}},
        // Centre wins over right when both bits are set (SS_CENTER is tested first).
        {"centre and right bits", kLabelCentred | kLabelRightAligned, 40, 13, {129, 50, 171, 65}},
        {"vertical centre shrinking", kLabelCentredVertically, 40, 8, {100, 55, 142, 65}},
        // 20 - 11 = 9: 4 off the top and 4 off the bottom.
        {"vertical centre, odd", kLabelCentredVertically, 40, 9, {100, 54, 142, 66}},
        // 20 - 33 = -13: -6 each side, the label grows by 12 only.
        {"vertical centre growing", kLabelCentredVertically, 40, 31, {100, 44, 142, 76}},
        {"both centred", kLabelCentred | kLabelCentredVertically, 40, 8, {129, 55, 171, 65}},
    };
    for (const auto& c : cases) {
        const LabelRect got = FitLabelToText(kWindow, kClient, c.textWidth, c.textHeight, c.style);
        EXPECT_EQ(c.expected, got) << c.name << ": got " << got.left << "," << got.top << ","
                                   << got.right << "," << got.bottom;
    }
}

TEST(FitLabelToText, BorderlessLabelTakesExactlyTheTextSize) {
    const LabelRect window{0, 0, 10, 10};
    const LabelRect fitted = FitLabelToText(window, window, 37, 12, 0);
    EXPECT_EQ(37, fitted.Width());
    EXPECT_EQ(12, fitted.Height());
}

// Bits of other static styles (SS_NOTIFY, the type bits of a bitmap) must not
// be taken for alignment, except for the bits that the alignment test names.
TEST(FitLabelToText, UnrelatedStyleBitsDoNotMoveEdges) {
    const unsigned notifyAndSunken = 0x0100 | 0x1000;
    EXPECT_EQ(FitLabelToText(kWindow, kClient, 40, 13, 0),
              FitLabelToText(kWindow, kClient, 40, 13, notifyAndSunken));
}

}  // namespace
