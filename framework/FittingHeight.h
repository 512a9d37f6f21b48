// The largest font height, between a wanted one and a floor, at which a text
// fits its box (portable: the measuring is the caller's).
#pragma once

#include <functional>

// `wanted` when `fits(wanted)`; otherwise the largest height below it, down
// to `floor`, that fits; `floor` when none does (a text is never made
// smaller than the body text, even where it cannot fit). Heights are
// magnitudes. A text's width need not shrink with every pixel of height
// (hinting), so each height is tried from the top.
inline int LargestFittingHeight(int wanted, int floor, const std::function<bool(int)>& fits) {
    for (int height = wanted; height > floor; --height) {
        if (fits(height)) return height;
    }
    return wanted < floor ? wanted : floor;
}
