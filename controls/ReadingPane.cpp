#include "controls/ReadingPane.h"

LRESULT ReadingPane::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_GETDLGCODE) return DefWindowProc(msg, wParam, lParam);
    LRESULT code = DefWindowProc(msg, wParam, lParam);
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    const bool dialogKey = message && message->message == WM_KEYDOWN &&
                           (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE);
    if (dialogKey) code &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
    return code;
}
