#include "offers/BrowserFollowUp.h"

#include <cstdio>

#include <windows.h>

#include "product/WebHosts.h"
#include "framework/DesktopShellExecute.h"
#include "install/OsFamilyQuery.h"
#include "install/Probes.h"

namespace {

constexpr char kBrowserClientStateKey[] =
    "SOFTWARE\\Google\\Update\\ClientState\\{8A69D345-D564-463C-AFF1-A69D9E530F96}";
constexpr char kLaunchCommandValue[] = "LastInstallerSuccessLaunchCmdLine";
constexpr DWORD kLaunchCommandBytes = 520;

constexpr char kBrowserWindowClass[] = "Chrome_WidgetWin_0";
constexpr int kBrowserWindowLooks = 10;
constexpr DWORD kBrowserLookPauseMs = 500;

// The viewer opens this far below the browser window's top edge, at the left
// screen edge.
constexpr int kViewerOffsetBelowBrowser = 345;
constexpr int kViewerLeft = 0;
constexpr char kViewerPositionFormat[] = " /pos=(%d,%d)";
constexpr size_t kViewerParametersChars = 127;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string BrowserFollowUpPages() {
    return Quoted(kPartnerSearchHome) + " " +
           Quoted(std::string(kBrowserToolsBase) + kBrowserWelcomePath) + " " +
           Quoted(std::string(kProductWebBase) + kFaqPath);
}

int OpenPagesInNewBrowser(const char* parameters) {
    char command[kLaunchCommandBytes];
    DWORD size = sizeof command;
    if (!ReadRegistryString(HKEY_LOCAL_MACHINE, kBrowserClientStateKey, kLaunchCommandValue,
                            command, &size)) {
        return 0;
    }
    // The browser's start is not reported on failure: the pages are a courtesy.
    // It runs as the signed-in user, not with the elevated setup's rights.
    (void)ShellExecuteAsSignedInUser(IsVistaOrLater(), ::GetActiveWindow(), command, parameters,
                                     nullptr, SW_SHOWNORMAL);
    return 1;
}

int LocateBrowserWindow(int* left, int* top) {
    for (int look = 0; look < kBrowserWindowLooks; ++look) {
        HWND candidate = ::FindWindowExA(nullptr, nullptr, kBrowserWindowClass, nullptr);
        if (!candidate) {
            ::Sleep(kBrowserLookPauseMs);
            continue;
        }
        // The browser keeps helper windows of the same class; its main window
        // is the one that holds a child of that class.
        for (; candidate;
             candidate = ::FindWindowExA(nullptr, candidate, kBrowserWindowClass, nullptr)) {
            if (::FindWindowExA(candidate, nullptr, kBrowserWindowClass, nullptr)) {
                RECT rect;
                if (!::GetWindowRect(candidate, &rect)) continue;
                *left = rect.left;
                *top = rect.top;
                return 1;
            }
        }
        return 0;
    }
    return 0;
}

std::string ViewerPositionBelowBrowser() {
    int left = 0;
    int top = 0;
    if (!LocateBrowserWindow(&left, &top)) return std::string();
    char parameters[kViewerParametersChars + 1];
    std::snprintf(parameters, sizeof parameters, kViewerPositionFormat, kViewerLeft,
                  top + kViewerOffsetBelowBrowser);
    return parameters;
}
