// How well one colour reads on another: the contrast ratio of two colours'
// relative luminances, from 1 (the same) to 21 (black on white), and the
// choice of a readable colour (portable arithmetic).
#pragma once

#include <cstddef>

struct Rgb {
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
};

// The least contrast at which body-sized text still reads for people with
// low vision.
constexpr double kReadableContrast = 4.5;

double ContrastRatio(Rgb first, Rgb second);

// The index of the first candidate that reads on `background` at least at
// kReadableContrast; when none does, the one with the most contrast (the
// first of equals). 0 for an empty list.
size_t MostReadable(const Rgb* candidates, size_t count, Rgb background);
