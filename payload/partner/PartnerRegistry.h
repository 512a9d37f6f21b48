// Small registry helpers of the stand-in partner programs.
#pragma once

#include <string>

#include <windows.h>

#include "framework/Handles.h"

inline bool KeyExists(HKEY root, const char* subkey) {
    UniqueKey key;
    return ::RegOpenKeyExA(root, subkey, 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// The string value, or empty when the key or the value is missing.
inline std::string ReadString(HKEY root, const char* subkey, const char* name) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, subkey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return {};
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    if (::RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return buffer;
}

// Creates the key when needed; `name` null or empty writes the default value.
inline bool WriteString(HKEY root, const char* subkey, const char* name, const std::string& value) {
    UniqueKey key;
    if (::RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

// The command line after the program's own name (quoted or not), without
// leading blanks.
inline std::string ArgumentsOf(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}
