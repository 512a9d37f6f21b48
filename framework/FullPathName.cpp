#include "framework/FullPathName.h"

#include <windows.h>

std::string FullPathName(const char* path) {
    char full[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return std::string(full, length);
}
