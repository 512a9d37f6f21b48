#include "framework/SystemLibrary.h"

#include <string>

namespace {

constexpr char kPathSeparator = '\\';

}  // namespace

UniqueModule LoadFromSystemFolder(const char* fileName) {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return UniqueModule();
    std::string path(folder, length);
    if (path.back() != kPathSeparator) path += kPathSeparator;
    path += fileName;
    return UniqueModule(::LoadLibraryA(path.c_str()));
}

UniqueModule LoadByNameFromSystem(const char* fileName) {
    return UniqueModule(::LoadLibraryA(fileName));
}
