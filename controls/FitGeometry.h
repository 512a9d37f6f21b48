// Where a label goes when it is fitted to its text (portable arithmetic).
#pragma once

struct LabelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

inline bool operator==(const LabelRect& a, const LabelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Static-control style bits that decide which edges stay put (the values of
// SS_CENTER, SS_RIGHT and SS_CENTERIMAGE).
constexpr unsigned kLabelCentred = 0x0001;
constexpr unsigned kLabelRightAligned = 0x0002;
constexpr unsigned kLabelCentredVertically = 0x0200;

// The label's new window rectangle for a text of textWidth x textHeight:
// window and client rectangle (in the same coordinates) give the border it
// keeps around its client area. A centred label keeps its centre (an odd
// difference leaves the extra unit on the far side), a right-aligned one its
// right edge, any other its left edge; vertically it keeps its top unless it
// is centred vertically. A label larger than its text shrinks, a smaller one
// grows.
LabelRect FitLabelToText(const LabelRect& window, const LabelRect& client, int textWidth,
                         int textHeight, unsigned style);
