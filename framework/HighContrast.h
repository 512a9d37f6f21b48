// The system's high-contrast mode and the scheme colours that read in it.
#pragma once

#include <windows.h>

#include <cstddef>

// The user has switched high contrast on. Asked at every use, so that a
// scheme changed while a window is open is followed at its next repaint.
bool IsHighContrastOn();

// Of the system colours `indexes` (COLOR_*), the first that reads on the
// system colour `background` (see MostReadable).
COLORREF ReadableSystemColour(const int* indexes, size_t count, int background);
