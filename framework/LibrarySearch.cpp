#include "framework/LibrarySearch.h"

#include <windows.h>

#include "framework/SystemLibrary.h"

namespace {

// Vista and 7 with the loader update and every later system; SetDllDirectoryA
// since XP SP1. Looked up: 98, 2000 and XP lack them.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
constexpr char kKernelName[] = "kernel32.dll";
constexpr char kSetDefaultDllDirectories[] = "SetDefaultDllDirectories";
constexpr char kSetDllDirectory[] = "SetDllDirectoryA";
constexpr char kNoDllDirectory[] = "";  // takes the current directory out of the search

// Without the restriction, loaded from the system folder first: a later load
// by name (ours, or the shell's, COM's, WinINet's own) finds them loaded.
constexpr const char* kLibrariesLoadedByName[] = {
    "version.dll",  "wininet.dll",  "comctl32.dll", "uxtheme.dll", "dwmapi.dll",
    "cryptbase.dll", "propsys.dll", "shfolder.dll", "userenv.dll", "secur32.dll",
    "sspicli.dll",  "profapi.dll",  "urlmon.dll",   "iertutil.dll", "msimg32.dll",
    "linkinfo.dll", "ntshrui.dll",  "ntmarta.dll",
};

template <typename Function>
Function KernelFunction(const char* name) {
    const HMODULE kernel = ::GetModuleHandleA(kKernelName);
    return kernel ? reinterpret_cast<Function>(
                        reinterpret_cast<void*>(::GetProcAddress(kernel, name)))
                  : nullptr;
}

}  // namespace

void LoadLibrariesFromSystemFolderOnly() {
    if (const auto setDllDirectory = KernelFunction<SetDllDirectoryFunction>(kSetDllDirectory)) {
        // Where it fails the current directory stays in the search, as where it is missing.
        (void)setDllDirectory(kNoDllDirectory);
    }
    const auto setDefaultDllDirectories =
        KernelFunction<SetDefaultDllDirectoriesFunction>(kSetDefaultDllDirectories);
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    for (const char* name : kLibrariesLoadedByName) {
        // Held for the run; one the system does not have is simply missing.
        (void)LoadFromSystemFolder(name).Release();
    }
}
