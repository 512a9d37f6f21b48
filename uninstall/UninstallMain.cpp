// The uninstaller. Run from the uninstall entry or the Start-menu link it asks
// first; with /silent it shows nothing and reports through its exit code and,
// on a stop or when another installation keeps the registry, one record in
// Tessolo_Uninstall.log in the current directory.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "product/RunningMutex.h"
#include "framework/Handles.h"
#include "framework/LibrarySearch.h"
#include "install/InstallLog.h"
#include "install/LogRecord.h"
#include "uninstall/SelfRemoval.h"
#include "uninstall/UninstallFiles.h"
#include "uninstall/UninstallRegistry.h"
#include "uninstall/UninstallTexts.h"

namespace {

constexpr char kSilentOption[] = "/silent";

bool IsFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != 0xFFFFFFFF && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WithoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// Missing on 95 and NT 4; there the file index alone sees through a short name.
using GetLongPathNameFunction = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
constexpr char kKernelName[] = "kernel32.dll";
constexpr char kGetLongPathName[] = "GetLongPathNameA";

// The folder as the file system names it: full path, long form where the
// system can tell, no trailing backslash.
std::string FolderText(const std::string& folder) {
    std::string text = folder;
    char buffer[kMaxPath] = {};
    char* namePart = nullptr;
    DWORD length = ::GetFullPathNameA(text.c_str(), kMaxPath, buffer, &namePart);
    if (length != 0 && length < kMaxPath) text = buffer;
    const HMODULE kernel = ::GetModuleHandleA(kKernelName);
    const auto getLongPathName =
        kernel ? reinterpret_cast<GetLongPathNameFunction>(
                     reinterpret_cast<void*>(::GetProcAddress(kernel, kGetLongPathName)))
               : nullptr;
    if (getLongPathName) {
        length = getLongPathName(text.c_str(), buffer, kMaxPath);
        if (length != 0 && length < kMaxPath) text = buffer;
    }
    return WithoutTrailingBackslash(text);
}

// The volume and file index of a folder; false where the system cannot tell
// (9x opens no folder as a file).
bool FolderIdentity(std::string folder, BY_HANDLE_FILE_INFORMATION& info) {
    // A drive root keeps its backslash: "C:" alone names a current directory.
    if (!folder.empty() && folder.back() == ':') folder += '\\';
    UniqueFile handle(::CreateFileA(folder.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle && ::GetFileInformationByHandle(handle.Get(), &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (info.nFileIndexHigh | info.nFileIndexLow) != 0;
}

// True when both texts name one folder: a short name, a mapped drive or a
// network name of the same folder included.
bool SameFolder(const std::string& a, const std::string& b) {
    const std::string textA = FolderText(a);
    const std::string textB = FolderText(b);
    if (::lstrcmpiA(textA.c_str(), textB.c_str()) == 0) return true;
    BY_HANDLE_FILE_INFORMATION infoA = {};
    BY_HANDLE_FILE_INFORMATION infoB = {};
    return FolderIdentity(textA, infoA) && FolderIdentity(textB, infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
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

// Ends with the box, or in silent mode the log record, that names what
// stayed; returns the exit code.
int Finish(bool silent, const RemovalReport& report, const std::string& note) {
    const bool complete = report.failed.empty();
    if (silent) {
        if (!note.empty()) WriteLogRecord(kUninstallLogName, note.c_str());
    } else {
        const std::string text =
            note.empty() ? FinalText(report) : note + "\n\n" + FinalText(report);
        ::MessageBoxA(nullptr, text.c_str(), kBoxCaption,
                      MB_OK | (complete ? MB_ICONINFORMATION : MB_ICONWARNING));
    }
    return complete ? kUninstallRemoved : kUninstallIncomplete;
}

int Uninstall(bool silent) {
    // One at a time, and never beside a setup: held until the process ends.
    ::SetLastError(ERROR_SUCCESS);
    const UniqueKernelHandle running(::CreateMutexA(nullptr, FALSE, kSetupRunningMutexName));
    const DWORD mutexError = ::GetLastError();
    if (mutexError == ERROR_ALREADY_EXISTS || (!running && mutexError == ERROR_ACCESS_DENIED)) {
        return Stop(silent, kAlreadyRunningText, kUninstallAlreadyRunning);
    }
    if (::FindWindowA(kViewerWindowClass, nullptr)) {
        return Stop(silent, kViewerRunningText, kUninstallViewerRunning);
    }

    char self[kMaxPath] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, self, kMaxPath);
    if (length == 0 || length >= kMaxPath) {
        return Stop(silent, kNotInstalledHereText, kUninstallNotInstalledHere);
    }
    std::string folder = self;
    folder.erase(folder.find_last_of('\\') + 1);

    // The entry's installation is removed whole. Another installation's
    // uninstaller removes its own folder's files and links only: the
    // registry belongs to the installation the entry names.
    const std::string location = ReadInstallLocation();
    const bool ownEntry = !location.empty() && SameFolder(location, folder);
    if (!ownEntry && (location.empty() || !IsFile(folder + kViewerExeName))) {
        return Stop(silent,
                    ComposeLogMessage(kNotInstalledHereText, WithoutTrailingBackslash(folder)),
                    kUninstallNotInstalledHere);
    }

    if (!silent && ::MessageBoxA(nullptr, kQuestionText, kBoxCaption,
                                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return kUninstallDeclined;
    }

    // Read before the entry that holds it goes; another installation's
    // entry records the folders that one created, not ours.
    const std::string createdFolder = ownEntry ? ReadCreatedFolder() : std::string();
    RemovalReport report;
    RemoveInstalledFiles(folder, ownEntry, report);
    RemoveShortcuts(folder, report);
    std::string note;
    if (ownEntry) {
        if (RemoveRegistration(folder, report)) {
            ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr);
        }
    } else {
        note = ComposeLogMessage(kOtherInstallationText, WithoutTrailingBackslash(location));
    }
    if (!OnlyUninstallerLeft(folder)) report.kept.push_back(WithoutTrailingBackslash(folder));
    const int exitCode = Finish(silent, report, note);
    // With something of ours left the uninstaller stays too, to be run again.
    if (report.failed.empty()) StartSelfRemoval(self, createdFolder);
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadLibrariesFromSystemFolderOnly();
    const char* commandLine = ::GetCommandLineA();
    if (const char* cleanup = std::strstr(commandLine, kCleanupOption)) {
        return RunCleanup(cleanup + std::strlen(kCleanupOption));
    }
    return Uninstall(std::strstr(commandLine, kSilentOption) != nullptr);
}
