#include "framework/WinApp.h"

WinApp* WinApp::s_current = nullptr;

WinApp::WinApp() { s_current = this; }

WinApp::~WinApp() {
    if (s_current == this) s_current = nullptr;
}

HINSTANCE AppInstance() {
    WinApp* app = WinApp::Current();
    if (app && app->Instance()) return app->Instance();
    return ::GetModuleHandleA(nullptr);
}

HWND MessageBoxOwner() {
    if (HWND active = ::GetActiveWindow()) return active;
    const WinApp* app = WinApp::Current();
    return app ? app->MainWindow() : nullptr;
}
