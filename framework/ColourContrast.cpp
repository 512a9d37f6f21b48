#include "framework/ColourContrast.h"

#include <cmath>

namespace {

// One sRGB channel (0..255) as linear light.
double LinearChannel(unsigned char value) {
    const double channel = value / 255.0;
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(Rgb colour) {
    return 0.2126 * LinearChannel(colour.red) + 0.7152 * LinearChannel(colour.green) +
           0.0722 * LinearChannel(colour.blue);
}

}  // namespace

double ContrastRatio(Rgb first, Rgb second) {
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    const double lighter = a > b ? a : b;
    const double darker = a > b ? b : a;
    return (lighter + 0.05) / (darker + 0.05);
}

size_t MostReadable(const Rgb* candidates, size_t count, Rgb background) {
    size_t best = 0;
    double bestRatio = -1.0;
    for (size_t i = 0; i < count; ++i) {
        const double ratio = ContrastRatio(candidates[i], background);
        if (ratio >= kReadableContrast) return i;
        if (ratio > bestRatio) {
            best = i;
            bestRatio = ratio;
        }
    }
    return best;
}
