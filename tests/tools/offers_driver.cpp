// Helps the partner-offer UI tests from a second process in the setup's Wine
// session: cancels the download dialog, reports where the browser's
// and the viewer's windows are, and closes the browser.
//
//   offers_driver cancel-download <ms>     exit 0 once Cancel was pressed;
//                                          first prints "owner <title>" and
//                                          "owner-enabled 0|1" of the dialog's
//                                          owner window
//   offers_driver main-window <class> <ms> prints "left top" of the first
//                                          top-level window of that class
//                                          holding a child of the same class
//                                          (or any, for a class without)
//   offers_driver close-all <class>        closes its top-level windows
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr char kDialogClass[] = "#32770";
// The download dialog is the one dialog with a progress bar. Its title is no
// mark: it turns into the percentage with the first block, which on a busy
// machine may come before this program has started.
constexpr char kProgressClass[] = "msctls_progress32";
constexpr DWORD kPollMs = 50;

template <typename Probe>
bool WaitFor(DWORD timeoutMs, Probe probe) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (probe()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

HWND DownloadDialog() {
    for (HWND w = ::FindWindowExA(nullptr, nullptr, kDialogClass, nullptr); w;
         w = ::FindWindowExA(nullptr, w, kDialogClass, nullptr)) {
        if (::FindWindowExA(w, nullptr, kProgressClass, nullptr)) return w;
    }
    return nullptr;
}

// The main window: one holding a child of its own class, else the first one.
HWND MainWindow(const char* windowClass) {
    HWND first = ::FindWindowExA(nullptr, nullptr, windowClass, nullptr);
    for (HWND w = first; w; w = ::FindWindowExA(nullptr, w, windowClass, nullptr)) {
        if (::FindWindowExA(w, nullptr, windowClass, nullptr)) return w;
    }
    return first;
}

int Usage() {
    std::fprintf(stderr, "usage: offers_driver cancel-download <ms> | main-window <class> <ms> | "
                         "close-all <class>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    if (command == "cancel-download") {
        HWND dialog = nullptr;
        if (!WaitFor(std::strtoul(argv[2], nullptr, 10), [&] {
                return (dialog = DownloadDialog()) != nullptr;
            })) {
            return 1;
        }
        HWND owner = ::GetWindow(dialog, GW_OWNER);
        char title[128] = {};
        if (owner) ::GetWindowTextA(owner, title, sizeof title);
        std::printf("owner %s\nowner-enabled %d\n", title, owner && ::IsWindowEnabled(owner) ? 1 : 0);
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
        return 0;
    }
    if (command == "main-window" && argc >= 4) {
        HWND window = nullptr;
        if (!WaitFor(std::strtoul(argv[3], nullptr, 10),
                     [&] { return (window = MainWindow(argv[2])) != nullptr; })) {
            return 1;
        }
        RECT rect;
        ::GetWindowRect(window, &rect);
        std::printf("%ld %ld\n", rect.left, rect.top);
        return 0;
    }
    if (command == "close-all") {
        for (HWND w = ::FindWindowExA(nullptr, nullptr, argv[2], nullptr); w;
             w = ::FindWindowExA(nullptr, w, argv[2], nullptr)) {
            ::PostMessageA(w, WM_CLOSE, 0, 0);
        }
        return WaitFor(5000, [&] { return ::FindWindowA(argv[2], nullptr) == nullptr; }) ? 0 : 1;
    }
    return Usage();
}
