#include "framework/ScreenDpi.h"

#include <windows.h>

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    if (!screen) return 0;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}
