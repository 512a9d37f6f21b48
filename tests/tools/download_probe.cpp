// Test program for the download dialog: runs the real CHttpDownloadDlg
// modally and reports DoModal's result and m_strError, while a driver thread
// plays the user (presses Cancel, declines a login dialog or logs in) and
// samples what the dialog shows. Texts are printed as hex so no code page
// gets in between.
//
//   download_probe <url> <target path> [--label TEXT] [--cancel-at-start]
//       [--cancel-after-bytes N] [--cancel-after-ms N] [--cancel-when-exists PATH]
//       [--sample-ms N] [--receive-timeout-ms N] [--max-body-bytes N]
//       [--decline-login | --login USER PASSWORD] [--fit [--show ID TEXT]...]
//
// --fit puts each --show text into its control, reports for every text
// control the size its text needs on one line against the control's size,
// and presses Cancel before the transfer starts.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "download/HttpDownloadDlg.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD kSendTimeoutMs = 2000;
constexpr int kPollMs = 5;

struct Options {
    std::string url;
    std::string target;
    std::string label = "Probe";
    bool cancelAtStart = false;
    long cancelAfterBytes = -1;
    long cancelAfterMs = -1;
    // Cancel once this file exists: the test makes it when its server has the
    // request, which no delay counted from the probe's start can know.
    std::string cancelWhenExists;
    long sampleMs = -1;
    long receiveTimeoutMs = -1;
    long maxBodyBytes = -1;
    bool declineLogin = false;
    // Typed into the login dialog (user name, then password) before its OK.
    std::string loginUser;
    std::string loginPassword;
    bool logIn = false;
    bool fit = false;
    std::vector<std::pair<int, std::string>> shown;
};

std::atomic<HWND> g_dialog{nullptr};
std::atomic<bool> g_cancelPressed{false};
std::chrono::steady_clock::time_point g_cancelAt;
std::atomic<bool> g_done{false};
std::mutex g_linesLock;
std::vector<std::string> g_lines;

void Report(const std::string& line) {
    std::lock_guard<std::mutex> lock(g_linesLock);
    g_lines.push_back(line);
}

std::string Hex(const std::string& text) {
    std::string out;
    char digits[3];
    for (unsigned char c : text) {
        std::snprintf(digits, sizeof digits, "%02x", c);
        out += digits;
    }
    return out;
}

std::string TextOf(HWND wnd) {
    char buffer[512] = {};
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                          SMTO_BLOCK, kSendTimeoutMs, &ignored);
    return buffer;
}

DWORD_PTR SendTimed(HWND wnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(wnd, message, wParam, lParam, SMTO_BLOCK, kSendTimeoutMs, &result);
    return result;
}

// "fit <id> <text> <width> <height> <box width> <box height>": what the text
// needs in the control's font on one line, against the control's client area.
BOOL CALLBACK ReportFit(HWND control, LPARAM) {
    char className[16] = {};
    ::GetClassNameA(control, className, sizeof className);
    const LONG_PTR kind = ::GetWindowLongPtrA(control, GWL_STYLE) & SS_TYPEMASK;
    if (_stricmp(className, "Static") != 0 || kind > SS_RIGHT) return TRUE;
    const std::string text = TextOf(control);
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, 0, 0};
    ::DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    RECT box;
    ::GetClientRect(control, &box);
    Report("fit " + std::to_string(::GetDlgCtrlID(control)) + " " + Hex(text) + " " + std::to_string(needed.right) +
           " " + std::to_string(needed.bottom) + " " + std::to_string(box.right) + " " + std::to_string(box.bottom));
    return TRUE;
}

// The dialog, with a way to press Cancel before the worker's first check.
class ProbeDialog : public CHttpDownloadDlg {
public:
    explicit ProbeDialog(const Options& options) : m_options(options) {}

protected:
    BOOL OnInitDialog() override {
        g_dialog = m_hWnd;
        if (m_options.cancelAtStart) PressCancelNow();
        const BOOL result = CHttpDownloadDlg::OnInitDialog();
        if (m_options.fit) {
            for (const auto& shown : m_options.shown) ::SetDlgItemTextA(m_hWnd, shown.first, shown.second.c_str());
            ::EnumChildWindows(m_hWnd, ReportFit, 0);
            PressCancelNow();
        }
        return result;
    }

private:
    void PressCancelNow() {
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDCANCEL)));
    }

    const Options& m_options;
};

void PressCancel(HWND dialog) {
    HWND button = ::GetDlgItem(dialog, IDCANCEL);
    g_cancelAt = std::chrono::steady_clock::now();
    g_cancelPressed = true;
    SendTimed(button, BM_CLICK);
    Report("cancel-button-enabled " + std::to_string(::IsWindowEnabled(button) ? 1 : 0));
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

struct LoginSearch {
    HWND exclude;
    HWND found;
};

BOOL CALLBACK FindOtherDialog(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<LoginSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    char className[64] = {};
    ::GetClassNameA(wnd, className, sizeof className);
    if (pid == ::GetCurrentProcessId() && wnd != search->exclude &&
        std::strcmp(className, "#32770") == 0 && ::IsWindowVisible(wnd)) {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectEdit(HWND wnd, LPARAM edits) {
    char className[16] = {};
    ::GetClassNameA(wnd, className, sizeof className);
    if (_stricmp(className, "Edit") == 0) reinterpret_cast<std::vector<HWND>*>(edits)->push_back(wnd);
    return TRUE;
}

// Fills the login dialog's two edit fields, in their order, and presses OK.
void LogIn(HWND login, const Options& options) {
    std::vector<HWND> edits;
    ::EnumChildWindows(login, CollectEdit, reinterpret_cast<LPARAM>(&edits));
    if (edits.size() < 2) {
        Report("login-fields " + std::to_string(edits.size()));
        return;
    }
    SendTimed(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(options.loginUser.c_str()));
    SendTimed(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(options.loginPassword.c_str()));
    ::PostMessageA(login, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(login, IDOK)));
}

void Sample(HWND dialog, std::string& last) {
    HWND bar = ::GetDlgItem(dialog, IDC_DL_BAR);
    // The dialog sets the bar's range before its first percent caption and
    // moves the bar after each caption, so the caption is read first (the
    // operands of + are read in no set order). It is read again after the
    // bar: "1" at the end says it had not changed, so the bar belongs to it
    // (on a busy machine the dialog may move on between the reads).
    const std::string caption = Hex(TextOf(dialog));
    const std::string position = std::to_string(SendTimed(bar, PBM_GETPOS));
    const std::string range = std::to_string(SendTimed(bar, PBM_GETRANGE, FALSE));
    const std::string settled = Hex(TextOf(dialog)) == caption ? "1" : "0";
    const std::string line =
        "sample " + caption + " " + position + " " + range + " " +
        Hex(TextOf(::GetDlgItem(dialog, IDC_DL_REMAINING))) + " " +
        Hex(TextOf(::GetDlgItem(dialog, IDC_DL_RATE))) + " " +
        Hex(TextOf(::GetDlgItem(dialog, IDC_DL_SOURCE))) + " " + settled;
    // Read from a dialog being destroyed, the controls answer empty: a sample
    // counts only when they all still exist after it was taken.
    if (!::IsWindow(bar) || !::IsWindow(::GetDlgItem(dialog, IDC_DL_SOURCE))) return;
    if (line != last) Report(line);
    last = line;
}

void Drive(const Options& options) {
    const auto start = std::chrono::steady_clock::now();
    auto lastSample = start;
    std::string lastLine;
    bool cancelled = false;
    bool loginAnswered = false;
    while (!g_done) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        HWND dialog = g_dialog;
        if (!dialog || g_done) continue;
        const auto now = std::chrono::steady_clock::now();
        const long elapsed = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count());

        if (options.sampleMs >= 0 &&
            now - lastSample >= std::chrono::milliseconds(options.sampleMs)) {
            Sample(dialog, lastLine);
            lastSample = now;
        }
        if (!cancelled && ((options.cancelAfterMs >= 0 && elapsed >= options.cancelAfterMs) ||
                           (options.cancelAfterBytes >= 0 &&
                            FileSize(options.target) >= options.cancelAfterBytes) ||
                           (!options.cancelWhenExists.empty() &&
                            ::GetFileAttributesA(options.cancelWhenExists.c_str()) != INVALID_FILE_ATTRIBUTES))) {
            cancelled = true;
            PressCancel(dialog);
        }
        if ((options.declineLogin || options.logIn) && !loginAnswered) {
            LoginSearch search{dialog, nullptr};
            ::EnumWindows(FindOtherDialog, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                loginAnswered = true;
                Report("login-dialog " + Hex(TextOf(search.found)));
                if (options.logIn) {
                    LogIn(search.found, options);
                } else {
                    ::PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                }
            }
        }
    }
}

bool ParseOptions(int argc, char** argv, Options& options) {
    if (argc < 3) return false;
    options.url = argv[1];
    options.target = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string name = argv[i];
        const bool hasValue = i + 1 < argc;
        if (name == "--cancel-at-start") options.cancelAtStart = true;
        else if (name == "--decline-login") options.declineLogin = true;
        else if (name == "--fit") options.fit = true;
        else if (name == "--show" && i + 2 < argc) {
            const int id = std::atoi(argv[++i]);
            options.shown.emplace_back(id, argv[++i]);
        }
        else if (name == "--label" && hasValue) options.label = argv[++i];
        else if (name == "--login" && i + 2 < argc) {
            options.logIn = true;
            options.loginUser = argv[++i];
            options.loginPassword = argv[++i];
        }
        else if (name == "--cancel-after-bytes" && hasValue) options.cancelAfterBytes = std::atol(argv[++i]);
        else if (name == "--cancel-after-ms" && hasValue) options.cancelAfterMs = std::atol(argv[++i]);
        else if (name == "--cancel-when-exists" && hasValue) options.cancelWhenExists = argv[++i];
        else if (name == "--sample-ms" && hasValue) options.sampleMs = std::atol(argv[++i]);
        else if (name == "--receive-timeout-ms" && hasValue) options.receiveTimeoutMs = std::atol(argv[++i]);
        else if (name == "--max-body-bytes" && hasValue) options.maxBodyBytes = std::atol(argv[++i]);
        else return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: download_probe <url> <target> [options]\n");
        return 2;
    }

    ProbeDialog dialog(options);
    dialog.m_strUrl = options.url;
    dialog.m_strTargetPath = options.target;
    dialog.m_strSourceLabel = options.label;
    if (options.receiveTimeoutMs >= 0) dialog.m_limits.timeouts.receiveMs = options.receiveTimeoutMs;
    if (options.maxBodyBytes >= 0) dialog.m_limits.maxBodyBytes = options.maxBodyBytes;

    std::thread driver(Drive, std::cref(options));
    const auto start = std::chrono::steady_clock::now();
    const INT_PTR result = dialog.DoModal();
    const auto end = std::chrono::steady_clock::now();
    g_done = true;
    driver.join();

    for (const std::string& line : g_lines) std::printf("%s\n", line.c_str());
    std::printf("result %d\n", static_cast<int>(result));
    std::printf("error %s\n", Hex(dialog.m_strError).c_str());
    std::printf("elapsed-ms %lld\n", static_cast<long long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count()));
    std::printf("url %s\n", Hex(dialog.m_strUrl).c_str());
    if (g_cancelPressed) {
        std::printf("cancel-to-end-ms %lld\n", static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(end - g_cancelAt).count()));
    }
    std::fflush(stdout);
    return 0;
}
