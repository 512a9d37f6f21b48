#include "offers/TempFolderFile.h"

#include <windows.h>

#include "product/Limits.h"
#include "install/PathText.h"

std::string TempFolderFile(const char* name) {
    char folder[kMaxPath] = {};
    const DWORD length = ::GetTempPathA(kMaxPath, folder);
    if (length == 0 || length >= static_cast<DWORD>(kMaxPath)) return std::string();
    AppendBackslash(folder);
    std::string path = std::string(folder) + name;
    return path.size() < static_cast<size_t>(kMaxPath) ? path : std::string();
}
