#include "payload/uninstall/SelfRemoval.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Limits.h"
#include "framework/Handles.h"

namespace {

constexpr char kTempPrefix[] = "tsu";
// How long the copy waits for the uninstaller to end, and then for its file
// to become deletable.
constexpr DWORD kWaitForEndMs = 60000;
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeleteRetryMs = 100;

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != 0xFFFFFFFF; }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// MoveFileEx's restart deletion exists only on NT; 9x reads WININIT.INI at
// its next start instead, whose [rename] section takes one "NUL=" line per
// file: one that is already taken is not overwritten.
void DeleteAtRestart(const std::string& path) {
    if (::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return;
    char taken[kMaxPath] = {};
    (void)::GetPrivateProfileStringA("rename", "NUL", "", taken, kMaxPath, "WININIT.INI");
    if (!taken[0]) (void)::WritePrivateProfileStringA("rename", "NUL", path.c_str(), "WININIT.INI");
}

}  // namespace

void StartSelfRemoval(const std::string& uninstaller) {
    char temp[kMaxPath] = {};
    char copy[kMaxPath] = {};
    HANDLE self = nullptr;
    const bool copied = ::GetTempPathA(kMaxPath, temp) &&
                        ::GetTempFileNameA(temp, kTempPrefix, 0, copy) &&
                        ::CopyFileA(uninstaller.c_str(), copy, FALSE);
    // The copy inherits a handle on this process to wait for.
    if (copied && ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(),
                                    ::GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0)) {
        UniqueKernelHandle selfHandle(self);
        char line[3 * kMaxPath];
        std::snprintf(line, sizeof line, "\"%s\" %s%lu \"%s\"", copy, kCleanupOption,
                      static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(self)),
                      uninstaller.c_str());
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        // Started in the temporary folder, so that no current directory holds
        // the install folder.
        if (::CreateProcessA(copy, line, nullptr, nullptr, TRUE, 0, nullptr, temp, &startup,
                             &info)) {
            UniqueKernelHandle process(info.hProcess);
            UniqueKernelHandle thread(info.hThread);
            return;
        }
    }
    if (copied) (void)::DeleteFileA(copy);
    DeleteAtRestart(uninstaller);
    DeleteAtRestart(FolderOf(uninstaller));
}

int RunCleanup(const char* arguments) {
    char* end = nullptr;
    const unsigned long handleValue = std::strtoul(arguments, &end, 10);
    UniqueKernelHandle original(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handleValue)));
    const char* open = std::strchr(end, '"');
    const char* close = open ? std::strchr(open + 1, '"') : nullptr;
    if (!original || !close) return 1;
    const std::string uninstaller(open + 1, close);

    (void)::WaitForSingleObject(original.Get(), kWaitForEndMs);
    // The system may hold the ended program's file for a moment.
    for (int attempt = 0; attempt < kDeleteAttempts && Exists(uninstaller); ++attempt) {
        if (::DeleteFileA(uninstaller.c_str())) break;
        ::Sleep(kDeleteRetryMs);
    }
    if (Exists(uninstaller)) DeleteAtRestart(uninstaller);
    // Only an empty folder goes: files the user put there keep it.
    (void)::RemoveDirectoryA(FolderOf(uninstaller).c_str());

    char self[kMaxPath] = {};
    if (::GetModuleFileNameA(nullptr, self, kMaxPath)) DeleteAtRestart(self);
    return 0;
}
