#include "offers/ViewerWindow.h"

#include <windows.h>

#include "product/ProductInfo.h"

namespace {
constexpr int kViewerWindowLooks = 5;
constexpr DWORD kViewerLookPauseMs = 500;
}  // namespace

int BringViewerToFront() {
    for (int look = 0; look < kViewerWindowLooks; ++look) {
        if (HWND viewer = ::FindWindowA(kViewerWindowClass, nullptr)) {
            // Another process's window may be refused the foreground; the viewer
            // is still running, so the look counts as found.
            (void)::SetForegroundWindow(viewer);
            return 1;
        }
        ::Sleep(kViewerLookPauseMs);
    }
    return 0;
}
