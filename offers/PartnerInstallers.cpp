#include "offers/PartnerInstallers.h"

#include <utility>
#include <vector>

#include <windows.h>

#include "install/InstallOptions.h"
#include "download/HeldFile.h"
#include "download/HttpDownloadDlg.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "install/Probes.h"
#include "install/RunInstall.h"
#include "offers/PickPartnerDownloadBase.h"
#include "offers/TempFolderFile.h"
#include "product/Limits.h"
#include "product/PartnerDigests.h"

namespace {

// Each file on the download servers beside the digest the build carries for it.
constexpr char kToolbarSavedAs[] = "google_toolbar_installer.exe";
constexpr char kToolbarFileNt[] = "google_toolbar_tesd.exe";
constexpr const char* kToolbarDigestNt = kToolbarInstallerNtSha256;
constexpr char kToolbarArgumentsNt[] = "/e:asknot /t:24 /d:ask /h:ask /q /r:TESC";
constexpr char kToolbarFile9x[] = "google_toolbar_9x_de.exe";
constexpr const char* kToolbarDigest9x = kToolbarInstaller9xSha256;
constexpr char kToolbarArguments9x[] = "/q /s:de";
constexpr char kToolbarLabel[] = "Google Toolbar";

constexpr char kBrowserSavedAs[] = "GoogleChromeDownloader.exe";
constexpr char kBrowserFile[] = "google_chrome.exe";
constexpr const char* kBrowserDigest = kBrowserDownloaderSha256;
constexpr char kBrowserArgumentsDefault[] = "/default:true";
constexpr char kBrowserArgumentsNotDefault[] = "/default:false";
constexpr char kBrowserLabel[] = "Google Chrome";

// The installer may still be closing its own file when it ends.
constexpr DWORD kDeleteDelayMs = 250;

// Anyone on the way from the server (a proxy, a redirect) can hand out a
// program of their own, so only the file the build vouches for runs: the
// held file must be the bytes written, and those the partner's.
UniqueFile HoldVerified(DownloadedFile& downloaded, const std::string& target,
                        const char* expectedSha256) {
    UniqueFile held = HoldWrittenFile(std::move(downloaded.writer), target);
    Sha256Digest digest;
    if (!held || !DigestOfHeldFile(held, digest) || digest != downloaded.digest ||
        Sha256Hex(digest) != expectedSha256) {
        return UniqueFile();
    }
    return held;
}

void RepaintActiveWindow() {
    if (HWND active = ::GetActiveWindow()) ::UpdateWindow(active);
}

// Starts target + arguments. The target is quoted: the temporary folder may
// hold blanks, and an unquoted path would let "C:\Documents.exe" and the like
// run instead. The installer's current directory is part of its library
// search path, so it starts in the system folder, which only administrators
// write, not in the setup's (often a downloads folder). Empty when the
// process could not be created.
UniqueKernelHandle StartInstaller(const std::string& target, const char* arguments) {
    char systemFolder[kMaxPath] = {};
    const UINT folderLength = ::GetSystemDirectoryA(systemFolder, kMaxPath);
    if (folderLength == 0 || folderLength >= static_cast<UINT>(kMaxPath)) {
        return UniqueKernelHandle();
    }
    const std::string line = "\"" + target + "\" " + arguments;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          systemFolder, &startup, &process)) {
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

bool DownloadWithDialog(const std::string& url, const std::string& target, const char* label,
                        DownloadedFile& file) {
    CHttpDownloadDlg dialog;
    dialog.m_strUrl = url;
    dialog.m_strTargetPath = target;
    dialog.m_strSourceLabel = label;
    if (dialog.DoModal() != IDOK) return false;
    file.writer = std::move(dialog.m_fileOut);
    file.digest = dialog.m_hashWritten.Digest();
    return true;
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

    DownloadedFile downloaded;
    if (download(address, target, kToolbarLabel, downloaded)) {
        RepaintActiveWindow();
        // Held from here until its process exists.
        UniqueFile held =
            HoldVerified(downloaded, target, windows9x ? kToolbarDigest9x : kToolbarDigestNt);
        if (held) {
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

    DownloadedFile downloaded;
    if (download(address, target, kBrowserLabel, downloaded)) {
        RepaintActiveWindow();
        UniqueFile held = HoldVerified(downloaded, target, kBrowserDigest);
        if (held) {
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
