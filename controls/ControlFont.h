// The description of the font a control draws with.
#pragma once

#include <windows.h>

// The control's font (WM_GETFONT); a control without one draws with the stock
// GUI font, or the stock variable-pitch font where that is missing. Returns
// false, with `description` zeroed, when no font can be described.
bool ReadControlFont(HWND control, LOGFONTA& description);
