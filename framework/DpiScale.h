// Pixel sizes laid out for the standard 96 dots per inch, taken to the
// density of another screen (portable arithmetic).
#pragma once

constexpr int kStandardDpi = 96;

// `pixels` at 96 DPI, at `dpi`: rounded to the nearest pixel with halves
// away from zero, so that 96 gives every value back unchanged and a density
// that is not known (0 or less) leaves it alone too.
constexpr int ScaleForDpi(int pixels, int dpi) {
    if (dpi <= 0 || dpi == kStandardDpi) return pixels;
    const long long scaled = static_cast<long long>(pixels) * dpi;
    const long long half = kStandardDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kStandardDpi : (scaled - half) / kStandardDpi);
}

// The character height (negative, as a font description takes it) of a font
// of `points` at `dpi`, rounded as the dialog manager rounds its font's.
constexpr int PointsToCharacterHeight(int points, int dpi) {
    constexpr int kPointsPerInch = 72;
    return -((points * dpi + kPointsPerInch / 2) / kPointsPerInch);
}
