// Starts a program as Windows 98 SE (or 2000) would answer it, for the
// end-to-end tests; Wine's version setting only changes what the version query
// reports. The program is created suspended, personality_hooks.dll is loaded
// into it by a remote thread (its DllMain redirects the import table, see
// PersonalityHooks.cpp), and only then does the program's own code run.
//
//   personality 98|2000|highcontrast   runs PROBE_CMDLINE in PROBE_CWD,
//                                      returns its exit code
//
// On 98 the program's environment has no APPDATA (98 SE has no such variable).
// "highcontrast" is this Windows with high contrast switched on, which Wine
// never reports; the scheme's colours come from the prefix's registry.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Handles.h"

namespace {

constexpr char kHooksDll[] = "personality_hooks.dll";
constexpr char kPersonalityVariable[] = "TESSOLO_PERSONALITY";
constexpr char kMissingOn98[] = "APPDATA";
constexpr int kExitUsage = 64;
constexpr int kExitNotStarted = 101;
constexpr int kExitNotHooked = 102;


// The parent's environment with kMissingOn98 left out (98 only) and the
// personality named for the hooks.
std::vector<char> ChildEnvironment(const std::string& personality) {
    std::vector<char> block;
    const std::string missing = std::string(kMissingOn98) + "=";
    char* strings = ::GetEnvironmentStringsA();
    for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) {
        const bool dropped = personality == "98" &&
                             !_strnicmp(entry, missing.c_str(), missing.size());
        if (!dropped && _strnicmp(entry, kPersonalityVariable, std::strlen(kPersonalityVariable))) {
            block.insert(block.end(), entry, entry + std::strlen(entry) + 1);
        }
    }
    ::FreeEnvironmentStringsA(strings);
    const std::string own = std::string(kPersonalityVariable) + "=" + personality;
    block.insert(block.end(), own.c_str(), own.c_str() + own.size() + 1);
    block.push_back('\0');
    return block;
}

// Loads the hooks into the suspended process; false when it did not load.
bool LoadHooks(HANDLE process) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (!length || !slash || (slash - path) + sizeof kHooksDll >= MAX_PATH) return false;
    std::strcpy(slash + 1, kHooksDll);

    void* remote = ::VirtualAllocEx(process, nullptr, sizeof path, MEM_COMMIT | MEM_RESERVE,
                                    PAGE_READWRITE);
    if (!remote || !::WriteProcessMemory(process, remote, path, sizeof path, nullptr)) return false;
    // kernel32 lies at the same address in every process of one session.
    const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    UniqueKernelHandle thread(
        ::CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr));
    if (!thread) return false;
    ::WaitForSingleObject(thread.Get(), INFINITE);
    DWORD loaded = 0;  // the low half of the module handle
    return ::GetExitCodeThread(thread.Get(), &loaded) && loaded != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 ||
        (std::strcmp(argv[1], "98") && std::strcmp(argv[1], "2000") && std::strcmp(argv[1], "highcontrast"))) {
        std::fprintf(stderr, "personality 98|2000|highcontrast  (runs PROBE_CMDLINE in PROBE_CWD)\n");
        return kExitUsage;
    }
    const char* commandLine = std::getenv("PROBE_CMDLINE");
    if (!commandLine) return kExitUsage;
    const char* cwd = std::getenv("PROBE_CWD");
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
    std::vector<char> environment = ChildEnvironment(argv[1]);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                          environment.data(), cwd && *cwd ? cwd : nullptr, &startup, &info)) {
        std::fprintf(stderr, "CreateProcess failed: %lu\n", ::GetLastError());
        return kExitNotStarted;
    }
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    if (!LoadHooks(process.Get())) {
        std::fprintf(stderr, "personality hooks not loaded: %lu\n", ::GetLastError());
        ::TerminateProcess(process.Get(), kExitNotHooked);
        return kExitNotHooked;
    }
    ::ResumeThread(thread.Get());
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.Get(), &code);
    return static_cast<int>(code);
}
