#include "controls/ControlFont.h"

bool ReadControlFont(HWND control, LOGFONTA& description) {
    description = LOGFONTA{};
    auto font = reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0));
    if (!font) font = ::GetStockObject(DEFAULT_GUI_FONT);
    if (!font) font = ::GetStockObject(ANSI_VAR_FONT);
    if (!font || ::GetObjectA(font, sizeof description, &description) == 0) {
        description = LOGFONTA{};
        return false;
    }
    return true;
}
