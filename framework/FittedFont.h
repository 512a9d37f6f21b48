// An emphasis font made small enough for the control that shows it: a
// larger face (a stand-in at a large-font density) can draw a title wider
// than the box the template gives it, which then wraps and cuts it off.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

// Null when `font` draws each line of the static `control`'s text within the
// width of its client rectangle, so that none wraps (the control then takes
// `font` itself); otherwise a font like `font` at the largest height that
// does, but never smaller than `body`.
UniqueFont FontThatFits(HWND control, HFONT font, HFONT body);
