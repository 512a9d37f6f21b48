#include "framework/WinInetApi.h"

#include "framework/Handles.h"

WinInetApi::WinInetApi()
    : m_library("wininet.dll"),
      m_complete(m_library.Find("InternetOpenA", InternetOpenA) &&
                 m_library.Find("InternetSetStatusCallback", InternetSetStatusCallback) &&
                 m_library.Find("InternetConnectA", InternetConnectA) &&
                 m_library.Find("HttpOpenRequestA", HttpOpenRequestA) &&
                 m_library.Find("HttpSendRequestA", HttpSendRequestA) &&
                 m_library.Find("HttpQueryInfoA", HttpQueryInfoA) &&
                 m_library.Find("InternetReadFile", InternetReadFile) &&
                 m_library.Find("InternetReadFileExA", InternetReadFileExA) &&
                 m_library.Find("InternetSetOptionA", InternetSetOptionA) &&
                 m_library.Find("InternetErrorDlg", InternetErrorDlg) &&
                 m_library.Find("InternetCloseHandle", InternetCloseHandle)) {}

WinInetApi& WinInetLibrary() {
    static WinInetApi& library = *new WinInetApi;
    return library;
}

// A handle exists only when the library loaded and opened it.
void InternetTraits::Close(Handle h) { (void)WinInetLibrary().InternetCloseHandle(h); }
