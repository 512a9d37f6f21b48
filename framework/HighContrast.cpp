#include "framework/HighContrast.h"

#include <vector>

#include "framework/ColourContrast.h"

namespace {
Rgb ToRgb(COLORREF colour) { return {GetRValue(colour), GetGValue(colour), GetBValue(colour)}; }
}  // namespace

bool IsHighContrastOn() {
    HIGHCONTRASTA state = {};
    state.cbSize = sizeof state;
    if (!::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof state, &state, 0)) return false;
    return (state.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF ReadableSystemColour(const int* indexes, size_t count, int background) {
    if (count == 0) return ::GetSysColor(background);
    std::vector<Rgb> candidates;
    for (size_t i = 0; i < count; ++i) candidates.push_back(ToRgb(::GetSysColor(indexes[i])));
    const size_t chosen = MostReadable(candidates.data(), count, ToRgb(::GetSysColor(background)));
    return ::GetSysColor(indexes[chosen]);
}
