// The stand-in viewer: one top-level window of class "Tessolo" — the class
// the setup looks for to tell whether the viewer is running — titled with the
// file or folder it was given. It shows Windows bitmaps itself and names any
// other file it cannot decode.
#include <windows.h>

#include <string>

#include "ViewerArguments.h"
#include "framework/Handles.h"

namespace {

constexpr char kWindowClass[] = "Tessolo";
constexpr int kIconResource = 1;        // icon index 0, the viewer's own
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr UINT_PTR kExitTimer = 1;

struct BitmapTraits {
    using Handle = HBITMAP;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
using UniqueBitmap = UniqueHandle<BitmapTraits>;

struct ViewerState {
    ViewerArguments arguments;
    UniqueBitmap picture;
};

ViewerState g_state;

std::string StatusText(const ViewerArguments& arguments) {
    if (arguments.thumbnails) {
        return "Miniaturansicht von " + (arguments.path.empty() ? std::string("(kein Ordner)")
                                                                : arguments.path);
    }
    if (arguments.path.empty()) return "Tessolo 4.30 - kein Bild geöffnet";
    return "Dieses Format zeigt der Platzhalter-Betrachter nicht an: " + arguments.path;
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (g_state.picture) {
        BITMAP info;
        GetObjectA(g_state.picture.Get(), sizeof info, &info);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, g_state.picture.Get());
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else {
        RECT client;
        GetClientRect(window, &client);
        const std::string text = StatusText(g_state.arguments);
        DrawTextA(dc, text.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_TIMER:
        if (wParam == kExitTimer) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    g_state.arguments = ParseViewerArguments(SkipProgramName(GetCommandLineA()));
    const ViewerArguments& arguments = g_state.arguments;
    if (!arguments.thumbnails && !arguments.path.empty()) {
        g_state.picture.Reset(static_cast<HBITMAP>(LoadImageA(
            nullptr, arguments.path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ViewerProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass)) return 1;

    const std::string title = ViewerTitle(arguments);
    HWND window = CreateWindowExA(
        0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW,
        arguments.hasPosition ? arguments.x : CW_USEDEFAULT,
        arguments.hasPosition ? arguments.y : CW_USEDEFAULT,
        kDefaultWidth, kDefaultHeight, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    if (arguments.exitAfterMs) SetTimer(window, kExitTimer, arguments.exitAfterMs, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
