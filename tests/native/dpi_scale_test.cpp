#include <gtest/gtest.h>

#include "framework/DpiScale.h"

namespace {

// The wizard's emphasis heights at the densities "large fonts" sets: 96
// keeps every value, the others round to the nearest pixel.
TEST(ScaleForDpi, KeepsStandardSizesAndRoundsOthersToTheNearestPixel) {
    const struct {
        int pixels;
        int dpi;
        int expected;
    } cases[] = {
        {20, 96, 20},  {8, 96, 8},    {18, 96, 18},
        {20, 120, 25}, {8, 120, 10},  {18, 120, 23},  // 22.5 rounds up
        {20, 144, 30}, {8, 144, 12},  {18, 144, 27},
        {-11, 120, -14},                              // -13.75; a character height
        {20, 0, 20},   {20, -1, 20},                  // no screen to ask
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ScaleForDpi(c.pixels, c.dpi)) << c.pixels << " at " << c.dpi;
    }
}

// The dialog manager's 8-point font: -11 at 96 DPI (the cell of 13 pixels a
// height of 8 also picks from the bitmap face), -13 at 120, -16 at 144.
TEST(PointsToCharacterHeight, GivesTheDialogFontsHeightAtEachDensity) {
    const struct {
        int points;
        int dpi;
        int expected;
    } cases[] = {{8, 96, -11}, {8, 120, -13}, {8, 144, -16}, {10, 96, -13}};
    for (const auto& c : cases) EXPECT_EQ(c.expected, PointsToCharacterHeight(c.points, c.dpi)) << c.dpi;
}

}  // namespace
