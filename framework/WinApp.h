// The application object: the one instance whose InitInstance does the whole
// run. WinMain calls it once and ends the process with the app's exit code.
#pragma once

#include <windows.h>

class WinApp {
public:
    WinApp();
    virtual ~WinApp();
    WinApp(const WinApp&) = delete;
    WinApp& operator=(const WinApp&) = delete;

    // Runs the program; returning FALSE ends the process (there is no
    // message loop of the application's own).
    virtual BOOL InitInstance() = 0;

    static WinApp* Current() { return s_current; }

    HINSTANCE Instance() const { return m_hInstance; }
    void SetInstance(HINSTANCE instance) { m_hInstance = instance; }

    HWND MainWindow() const { return m_hMainWnd; }
    void SetMainWindow(HWND wnd) { m_hMainWnd = wnd; }

    int ExitCode() const { return m_exitCode; }
    void SetExitCode(int code) { m_exitCode = code; }

private:
    static WinApp* s_current;
    HINSTANCE m_hInstance = nullptr;
    HWND m_hMainWnd = nullptr;
    int m_exitCode = 0;
};

// The module whose resources the program reads (the setup's own exe).
HINSTANCE AppInstance();

// The owner for a message box: the thread's active window, or the program's
// main window when none of ours is active (another program has the
// foreground). An unowned box would leave the main window clickable.
HWND MessageBoxOwner();
