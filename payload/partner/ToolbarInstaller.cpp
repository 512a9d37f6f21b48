// The toolbar's installer: "installs" the toolbar by registering it for the
// machine, with the command line it was started with, and ends with 0. Like
// many installers it first tells every top-level window that the settings
// changed and waits for each answer; for each titled, visible window it
// records whether that window was enabled and whether it answered.
#include <string>
#include <vector>

#include <windows.h>

#include "payload/partner/PartnerKeys.h"
#include "payload/partner/PartnerRegistry.h"

namespace {

// A window that has not answered by then is given up on, so that a setup
// that does not answer costs the tests time but never hangs them.
constexpr UINT kAnswerTimeoutMs = 2000;

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// One line per titled, visible top-level window: "title|enabled|answered".
std::string AnnounceSettingsChange() {
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::string lines;
    for (HWND window : windows) {
        char title[256] = {};
        if (!::IsWindowVisible(window) || ::GetWindowTextA(window, title, sizeof title) == 0) {
            continue;
        }
        const bool enabled = ::IsWindowEnabled(window) != FALSE;
        DWORD_PTR ignored = 0;
        const bool answered =
            ::SendMessageTimeoutA(window, WM_SETTINGCHANGE, 0,
                                  reinterpret_cast<LPARAM>("Environment"), SMTO_BLOCK,
                                  kAnswerTimeoutMs, &ignored) != 0;
        lines += std::string(title) + "|" + (enabled ? "1" : "0") + "|" + (answered ? "1" : "0") +
                 "\n";
    }
    return lines;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string windows = AnnounceSettingsChange();
    return WriteString(HKEY_LOCAL_MACHINE, kToolbarProductKey, kTopLevelWindowsValue, windows) &&
                   WriteString(HKEY_LOCAL_MACHINE, kToolbarProductKey, kInstallCommandLineValue,
                               ::GetCommandLineA())
               ? 0
               : 1;
}
