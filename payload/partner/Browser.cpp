// The partner's browser: records the command line of each start, then shows
// its main window, a top-level window of class "Chrome_WidgetWin_0" holding a
// child of the same class, at a fixed place. Like the real thing it keeps a
// childless helper window of that class as well, created last so that it is
// the first one found. It ends when its main window is closed, or after five
// minutes so that no test leaves it behind.
#include <windows.h>

#include "payload/partner/PartnerKeys.h"
#include "payload/partner/PartnerRegistry.h"

namespace {

constexpr char kWindowClass[] = "Chrome_WidgetWin_0";
constexpr int kMainLeft = 40;
constexpr int kMainTop = 100;
constexpr int kMainWidth = 640;
constexpr int kMainHeight = 300;
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMs = 5 * 60 * 1000;

HWND g_mainWindow = nullptr;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            ::DestroyWindow(g_mainWindow);
            return 0;
        case WM_DESTROY:
            if (window == g_mainWindow) ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    (void)WriteString(HKEY_CURRENT_USER, kBrowserProfileKey, kLaunchedWithValue,
                      ::GetCommandLineA());

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassA(&windowClass)) return 1;

    const std::string pages = ArgumentsOf(::GetCommandLineA());
    g_mainWindow = ::CreateWindowExA(0, kWindowClass, pages.c_str(), WS_OVERLAPPEDWINDOW, kMainLeft,
                                     kMainTop, kMainWidth, kMainHeight, nullptr, nullptr, instance,
                                     nullptr);
    if (!g_mainWindow) return 2;
    RECT client;
    ::GetClientRect(g_mainWindow, &client);
    (void)::CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                            client.bottom, g_mainWindow, nullptr, instance, nullptr);
    (void)::CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance,
                            nullptr);
    ::ShowWindow(g_mainWindow, show);
    ::SetTimer(g_mainWindow, kLifetimeTimer, kLifetimeMs, nullptr);

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
