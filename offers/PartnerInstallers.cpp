#include "offers/PartnerInstallers.h"

#include <vector>

#include <windows.h>

#include "install/InstallOptions.h"
#include "download/HttpDownloadDlg.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "install/Probes.h"
#include "install/RunInstall.h"
#include "install/VersionRule.h"
#include "offers/PickPartnerDownloadBase.h"
#include "offers/TempFolderFile.h"

namespace {

constexpr char kToolbarSavedAs[] = "google_toolbar_installer.exe";
constexpr char kToolbarFileNt[] = "google_toolbar_tesd.exe";
constexpr char kToolbarArgumentsNt[] = "/e:asknot /t:24 /d:ask /h:ask /q /r:TESC";
constexpr char kToolbarFile9x[] = "google_toolbar_9x_de.exe";
constexpr char kToolbarArguments9x[] = "/q /s:de";
constexpr char kToolbarLabel[] = "Google Toolbar";
// The 9x installer carries no version resource; anything up to this size is
// an error page or a truncated transfer, not the installer.
constexpr int kToolbar9xMinimumBytes = 559000;

constexpr char kBrowserSavedAs[] = "GoogleChromeDownloader.exe";
constexpr char kBrowserFile[] = "google_chrome.exe";
constexpr char kBrowserArgumentsDefault[] = "/default:true";
constexpr char kBrowserArgumentsNotDefault[] = "/default:false";
constexpr char kBrowserLabel[] = "Google Chrome";

// The installer may still be closing its own file when it ends.
constexpr DWORD kDeleteDelayMs = 250;

bool HasVersionResource(const std::string& path) {
    char versionText[kVersionTextSize];
    return ReadFileVersion(path.c_str(), versionText, nullptr) == 1;
}

void RepaintActiveWindow() {
    if (HWND active = ::GetActiveWindow()) ::UpdateWindow(active);
}

// Starts target + arguments. The target is quoted: the temporary folder may
// hold blanks, and an unquoted path would let "C:\Documents.exe" and the like
// run instead. Empty when the process could not be created.
UniqueKernelHandle StartInstaller(const std::string& target, const char* arguments) {
    const std::string line = "\"" + target + "\" " + arguments;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return UniqueKernelHandle();
    }
    UniqueKernelHandle threadHandle(process.hThread);
    return UniqueKernelHandle(process.hProcess);
}

// Waits for the installer without a time limit. Installers commonly send a
// message to every top-level window and wait for each answer, so the wait
// answers what is sent to the setup's windows; nothing posted is taken from
// the queue, and the wizard stays disabled, so nothing can be clicked
// meanwhile. True once the process has ended.
bool WaitForInstaller(HANDLE process) {
    const WinApp* app = WinApp::Current();
    HWND wizard = app ? app->MainWindow() : nullptr;
    // EnableWindow answers whether the window was disabled already.
    const bool enableAgain = wizard && !::EnableWindow(wizard, FALSE);
    bool ended = false;
    for (;;) {
        // Peeking delivers the messages sent to this thread, also those that
        // came before the wait began; posted ones stay in the queue. (No
        // PM_QS_ filter: systems before Windows 98 and 2000 refuse it.)
        MSG message;
        (void)::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        const DWORD woke =
            ::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (woke != WAIT_OBJECT_0 + 1) break;  // the wait itself failed
    }
    if (enableAgain) ::EnableWindow(wizard, TRUE);
    return ended;
}

void DeleteAfterPause(const std::string& target) {
    ::Sleep(kDeleteDelayMs);
    // A file still held open stays behind; nothing depends on it.
    (void)::DeleteFileA(target.c_str());
}

}  // namespace

bool DownloadWithDialog(const std::string& url, const std::string& target, const char* label) {
    CHttpDownloadDlg dialog;
    dialog.m_strUrl = url;
    dialog.m_strTargetPath = target;
    dialog.m_strSourceLabel = label;
    return dialog.DoModal() == IDOK;
}

void RunToolbarOffer(bool windows9x, const PartnerDownload& download) {
    ToolbarOfferFailed = 0;
    const std::string target = TempFolderFile(kToolbarSavedAs);
    if (target.empty()) {
        ToolbarOfferFailed = 1;
        return;
    }
    const std::string address =
        PickPartnerDownloadBase() + (windows9x ? kToolbarFile9x : kToolbarFileNt);
    const char* arguments = windows9x ? kToolbarArguments9x : kToolbarArgumentsNt;

    if (download(address, target, kToolbarLabel)) {
        RepaintActiveWindow();
        // A file someone else holds open for writing cannot be vouched for.
        UniqueFile held = HoldAgainstChange(target);
        const bool verified =
            held && (windows9x ? FileSizeOf(target.c_str()) > kToolbar9xMinimumBytes
                               : HasVersionResource(target));
        if (verified) {
            UniqueKernelHandle installer = StartInstaller(target, arguments);
            held.Reset();
            // An installer that never started installed nothing: the finished
            // page must not announce the toolbar.
            if (installer) {
                (void)WaitForInstaller(installer.Get());
            } else {
                ToolbarOfferFailed = 1;
            }
        } else {
            ToolbarOfferFailed = 1;
        }
    } else {
        ToolbarOfferFailed = 1;
    }
    DeleteAfterPause(target);
}

void RunBrowserOffer(bool asDefault, const PartnerDownload& download) {
    const std::string target = TempFolderFile(kBrowserSavedAs);
    if (target.empty()) return;
    const std::string address = PickPartnerDownloadBase() + kBrowserFile;
    const char* arguments = asDefault ? kBrowserArgumentsDefault : kBrowserArgumentsNotDefault;

    if (download(address, target, kBrowserLabel)) {
        RepaintActiveWindow();
        UniqueFile held = HoldAgainstChange(target);
        if (held && HasVersionResource(target)) {
            RepaintActiveWindow();
            UniqueKernelHandle installer = StartInstaller(target, arguments);
            held.Reset();
            if (installer && WaitForInstaller(installer.Get())) BrowserInstallerRun = 1;
        }
    }
    DeleteAfterPause(target);
}

void RunPartnerOffers(const InstallOptions& options) {
    BrowserInstallerRun = 0;
    if (options.silent) return;
    if (options.installToolbar) RunToolbarOffer(IsWindows9x());
    if (options.installBrowser) RunBrowserOffer(options.browserAsDefault != 0);
}
