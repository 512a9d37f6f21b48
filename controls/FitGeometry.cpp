#include "controls/FitGeometry.h"

LabelRect FitLabelToText(const LabelRect& window, const LabelRect& client, int textWidth,
                         int textHeight, unsigned style) {
    const int newWidth = textWidth + window.Width() - client.Width();
    const int newHeight = textHeight + window.Height() - client.Height();
    LabelRect fitted = window;

    if (style & kLabelCentredVertically) {
        // Truncating division: a growing label (negative difference) grows by
        // the same amount on both sides.
        const int inset = (window.Height() - newHeight) / 2;
        fitted.top += inset;
        fitted.bottom -= inset;
    } else {
        fitted.bottom = fitted.top + newHeight;
    }

    if (style & kLabelCentred) {
        const int inset = (window.Width() - newWidth) / 2;
        fitted.left += inset;
        fitted.right -= inset;
    } else if (style & kLabelRightAligned) {
        fitted.left = fitted.right - newWidth;
    } else {
        fitted.right = fitted.left + newWidth;
    }
    return fitted;
}
