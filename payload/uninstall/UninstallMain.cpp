// The uninstaller. Run from the uninstall entry or the Start-menu link it asks
// first; with /silent it shows nothing and reports through its exit code and,
// on a stop, one record in Tessolo_Uninstall.log in the current directory.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "app/Limits.h"
#include "app/ProductInfo.h"
#include "install/InstallLog.h"
#include "install/LogRecord.h"
#include "payload/uninstall/SelfRemoval.h"
#include "payload/uninstall/UninstallFiles.h"
#include "payload/uninstall/UninstallRegistry.h"
#include "payload/uninstall/UninstallTexts.h"

namespace {

constexpr char kSilentOption[] = "/silent";

std::string WithoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// A stop: a box, or in silent mode one log record. Returns the exit code.
int Stop(bool silent, const std::string& message, int exitCode) {
    if (silent) {
        WriteLogRecord(kUninstallLogName, message.c_str());
    } else {
        ::MessageBoxA(nullptr, message.c_str(), kBoxCaption, MB_OK | MB_ICONWARNING);
    }
    return exitCode;
}

std::string FinalText(const RemovalReport& report) {
    if (report.kept.empty() && report.failed.empty()) return kRemovedText;
    std::string text = kPartlyRemovedText;
    for (const std::string& path : report.kept) text += "\n" + path + kKeptReason;
    for (const std::string& path : report.failed) text += "\n" + path + kFailedReason;
    return text;
}

int Uninstall(bool silent) {
    if (::FindWindowA(kViewerWindowClass, nullptr)) {
        return Stop(silent, kViewerRunningText, kUninstallViewerRunning);
    }

    char self[kMaxPath] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, self, kMaxPath);
    if (length == 0 || length >= kMaxPath) return kUninstallNotInstalledHere;
    std::string folder = self;
    folder.erase(folder.find_last_of('\\') + 1);

    // Only the installation this uninstaller belongs to is removed.
    const std::string location = ReadInstallLocation();
    if (location.empty() || ::lstrcmpiA(WithoutTrailingBackslash(location).c_str(),
                                        WithoutTrailingBackslash(folder).c_str()) != 0) {
        return Stop(silent, ComposeLogMessage(kNotInstalledHereText, WithoutTrailingBackslash(folder)),
                    kUninstallNotInstalledHere);
    }

    if (!silent && ::MessageBoxA(nullptr, kQuestionText, kBoxCaption,
                                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return kUninstallDeclined;
    }

    // Read before the entry that holds it goes.
    const std::string createdFolder = ReadCreatedFolder();
    RemovalReport report;
    RemoveInstalledFiles(folder, report);
    RemoveShortcuts(folder, report);
    if (RemoveRegistration(folder, report)) {
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr);
    }
    if (!OnlyUninstallerLeft(folder)) report.kept.push_back(WithoutTrailingBackslash(folder));
    const int exitCode = report.failed.empty() ? kUninstallRemoved : kUninstallIncomplete;

    if (!silent) {
        ::MessageBoxA(nullptr, FinalText(report).c_str(), kBoxCaption,
                      MB_OK | (report.failed.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
    }
    // With something of ours left the uninstaller stays too, to be run again.
    if (report.failed.empty()) StartSelfRemoval(self, createdFolder);
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* commandLine = ::GetCommandLineA();
    if (const char* cleanup = std::strstr(commandLine, kCleanupOption)) {
        return RunCleanup(cleanup + std::strlen(kCleanupOption));
    }
    return Uninstall(std::strstr(commandLine, kSilentOption) != nullptr);
}
