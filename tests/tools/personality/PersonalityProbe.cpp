// Makes one call of each kind the personality redirects and prints how it
// answered, "name result" per line (result: ok, or the error code).
//
//   personality_probe                    the calls
//   personality_probe hold PATH MARKER   holds PATH open for reading, sharing
//                                        reading and writing, creates MARKER
//                                        once it does, and waits to be ended
#include <cstdio>

#include <windows.h>
#include <shlobj.h>

namespace {

constexpr char kLateLibrary[] = "personality_late.dll";
constexpr char kScratchKey[] = "Software\\TessoloPersonalityProbe";
// The prefix's end ends a holder; this bounds it should that fail.
constexpr DWORD kLongestHoldMs = 300000;

int Hold(const char* path, const char* marker) {
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    HANDLE signal = ::CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (signal == INVALID_HANDLE_VALUE) return 3;
    ::CloseHandle(signal);
    ::Sleep(kLongestHoldMs);
    ::CloseHandle(file);
    return 0;
}

void Report(const char* name, bool succeeded) {
    if (succeeded) {
        std::printf("%s ok\n", name);
    } else {
        std::printf("%s %lu\n", name, static_cast<unsigned long>(::GetLastError()));
    }
}

bool OpenScratchFile(const char* path, DWORD share) {
    HANDLE file = ::CreateFileA(path, GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

bool DeleteKeyWithSubkey() {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    HKEY child = nullptr;
    (void)::RegCreateKeyExA(key, "child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr);
    ::RegCloseKey(child);
    ::RegCloseKey(key);
    const LONG result = ::RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey);
    ::SetLastError(result);
    return result == ERROR_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && !lstrcmpA(argv[1], "hold")) return Hold(argv[2], argv[3]);
    char path[MAX_PATH] = {};
    Report("common_programs", ::SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_PROGRAMS, FALSE));
    Report("programs", ::SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE));

    char file[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, file);
    lstrcatA(file, "personality.tmp");
    Report("share_delete", OpenScratchFile(file, FILE_SHARE_READ | FILE_SHARE_DELETE));
    Report("share_read", OpenScratchFile(file, FILE_SHARE_READ));

    char moved[MAX_PATH] = {};
    lstrcpyA(moved, file);
    lstrcatA(moved, ".moved");
    Report("move_file_ex", ::MoveFileExA(file, moved, MOVEFILE_REPLACE_EXISTING));
    (void)::DeleteFileA(file);
    (void)::DeleteFileA(moved);

    HANDLE semaphore = ::CreateSemaphoreW(nullptr, 0, 1, nullptr);
    Report("create_semaphore_w", semaphore != nullptr);
    if (semaphore) ::CloseHandle(semaphore);
    WCHAR wide[8] = {};
    Report("multibyte_to_widechar", ::MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 8) == 4);

    Report("delete_key_with_subkey", DeleteKeyWithSubkey());

    char value[MAX_PATH] = {};
    Report("appdata", ::GetEnvironmentVariableA("APPDATA", value, MAX_PATH) != 0);

    // A library loaded later, and an address taken from GetProcAddress.
    HMODULE late = ::LoadLibraryA(kLateLibrary);
    using LateCall = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    auto lateMove = late ? reinterpret_cast<LateCall>(reinterpret_cast<void (*)()>(::GetProcAddress(late, "LateMoveFileEx")))
                         : nullptr;
    Report("late_library_move_file_ex", lateMove && lateMove(file, moved, 0));
    auto looked = reinterpret_cast<LateCall>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "MoveFileExA")));
    Report("get_proc_address_move_file_ex", looked && looked(file, moved, 0));
    return 0;
}
