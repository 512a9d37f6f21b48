#include "install/RegistryWrite.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "product/Limits.h"
#include "framework/Handles.h"
#include "install/WriteFailures.h"

LONG(WINAPI* DeleteRegistryKey)(HKEY, LPCSTR) = ::RegDeleteKeyA;

bool FormatKeyPath(char* path, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(path, kMaxPath, format, arguments);
    va_end(arguments);
    return written >= 0 && written < kMaxPath;
}

namespace {

std::string KeyName(HKEY root, const char* path) {
    const char* rootName = root == HKEY_LOCAL_MACHINE  ? "HKLM"
                           : root == HKEY_CURRENT_USER ? "HKCU"
                           : root == HKEY_CLASSES_ROOT ? "HKCR"
                                                       : "?";
    return std::string(rootName) + "\\" + path;
}

}  // namespace

void NoteKeyWriteFailure(HKEY root, const char* path) { NoteWriteFailure(KeyName(root, path)); }

void SetDefaultText(HKEY root, const char* path, const char* text) {
    UniqueKey key;
    if (::RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                          key.Put(), nullptr) != ERROR_SUCCESS ||
        !SetNamedText(key.Get(), nullptr, text)) {
        NoteKeyWriteFailure(root, path);
    }
}

bool SetNamedText(HKEY key, const char* name, const char* text) {
    // Stored with the terminating zero, as the shell expects of REG_SZ.
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                            static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

bool SetNamedDword(HKEY key, const char* name, DWORD value) {
    return ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS;
}

void DeleteKeyWithoutSubkeys(HKEY root, const char* path) {
    DWORD subkeys = 0;
    {
        UniqueKey key;
        if (::RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return;
        if (::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            return;
        }
    }
    // Best effort, as before: a key that cannot go stays.
    if (subkeys == 0) (void)DeleteRegistryKey(root, path);
}
