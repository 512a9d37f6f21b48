// A face that draws a font at the size asked for. A bitmap face such as
// "MS Sans Serif" holds a few sizes only (some systems stop at a 20-pixel
// cell), so a large-font screen asking for more gets the largest it has;
// a scalable face of a similar look then stands in.
#pragma once

#include <windows.h>

// Leaves `description` as it is when a font made from it reaches its height
// on the screen; otherwise puts in the first stand-in face that does
// (Tahoma, then Arial), or leaves it when none does.
void UseFaceThatReaches(LOGFONTA& description);
