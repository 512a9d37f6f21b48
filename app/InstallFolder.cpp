#include "app/InstallFolder.h"

#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "app/Limits.h"
#include "framework/Handles.h"

namespace {

constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kProgramFilesValue[] = "ProgramFilesDir";
constexpr char kFallbackFolder[] = "C:\\Tessolo\\";
constexpr char kProductFolder[] = "Tessolo";
constexpr char kOpenCommandKey[] = "SOFTWARE\\Classes\\Tessolo\\shell\\open\\command";

// Reads a key's string value into buffer (kMaxPath bytes, cleared first);
// false when the key or the value cannot be read.
bool ReadStringValue(const char* subkey, const char* name, char* buffer) {
    std::memset(buffer, 0, kMaxPath);
    UniqueKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) {
        return false;
    }
    DWORD size = kMaxPath - 1;  // keeps room for a terminating zero
    return ::RegQueryValueExA(key.Get(), name, nullptr, nullptr,
                              reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS;
}

}  // namespace

int GetDefaultInstallFolder(char* folder) {
    std::strcpy(folder, kFallbackFolder);
    char programFiles[kMaxPath];
    // A key that opens but whose value cannot be read keeps the fallback.
    if (!ReadStringValue(kCurrentVersionKey, kProgramFilesValue, programFiles)) return 1;
    const size_t length = std::strlen(programFiles);
    if (length + 1 + sizeof kProductFolder > static_cast<size_t>(kMaxPath)) return 1;
    if (length == 0 || programFiles[length - 1] != '\\') std::strcat(programFiles, "\\");
    std::strcat(programFiles, kProductFolder);
    std::strcpy(folder, programFiles);
    return 1;
}

int FindPreviousInstallFolder(char* folder) {
    folder[0] = '\0';
    char command[kMaxPath];
    if (!ReadStringValue(kOpenCommandKey, "", command) || command[0] == '\0') return 0;

    // The command is the quoted viewer path and a quoted placeholder. Only an
    // opening double quote is skipped: an unquoted command keeps its drive.
    const char* start = command[0] == '"' ? command + 1 : command;
    char exePath[kMaxPath];
    size_t n = 0;
    while (start[n] != '\0' && start[n] != '"') {
        exePath[n] = start[n];
        ++n;
    }
    exePath[n] = '\0';

    char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(exePath, drive, dir, name, ext);
    char result[kMaxPath + 1];
    std::strcpy(result, drive);
    std::strcat(result, dir);
    const size_t length = std::strlen(result);
    if (length == 0 || result[length - 1] != '\\') std::strcat(result, "\\");
    std::strncpy(folder, result, kMaxPath - 1);
    folder[kMaxPath - 1] = '\0';
    return 1;
}
