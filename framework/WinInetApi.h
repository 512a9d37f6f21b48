// The HTTP functions the download uses, from the system's wininet.dll.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/SystemLibrary.h"

// Calls go through these pointers as they would through an import table; use
// them only when the table is complete.
struct WinInetApi {
    WinInetApi();
    explicit operator bool() const { return m_complete; }

    decltype(&::InternetOpenA) InternetOpenA = nullptr;
    decltype(&::InternetSetStatusCallback) InternetSetStatusCallback = nullptr;
    decltype(&::InternetConnectA) InternetConnectA = nullptr;
    decltype(&::HttpOpenRequestA) HttpOpenRequestA = nullptr;
    decltype(&::HttpSendRequestA) HttpSendRequestA = nullptr;
    decltype(&::HttpQueryInfoA) HttpQueryInfoA = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::InternetReadFileExA) InternetReadFileExA = nullptr;
    decltype(&::InternetSetOptionA) InternetSetOptionA = nullptr;
    decltype(&::InternetErrorDlg) InternetErrorDlg = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;

private:
    SystemLibrary m_library;
    bool m_complete;
};

// Loaded at the first use and never unloaded: a download worker the dialog
// stopped waiting for may still be inside a call when the program ends.
WinInetApi& WinInetLibrary();
