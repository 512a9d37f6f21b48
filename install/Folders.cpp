#include "install/Folders.h"

#include <cstring>

#include <windows.h>

#include "product/Limits.h"
#include "install/FolderLevels.h"
#include "install/PathText.h"

namespace {

// Whether the process can change into the folder. The current directory is
// put back at once: the install log lives in it.
bool CanEnterFolder(const char* folder) {
    char saved[kMaxPath];
    const DWORD length = ::GetCurrentDirectoryA(kMaxPath, saved);
    if (length == 0 || length >= static_cast<DWORD>(kMaxPath)) {
        // The current directory could not be put back, so it is not left.
        const DWORD attributes = ::GetFileAttributesA(folder);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    if (!::SetCurrentDirectoryA(folder)) return false;
    (void)::SetCurrentDirectoryA(saved);
    return true;
}

}  // namespace

int EnsureFolderExists(char* path, const BeforeCreatingLevels& beforeCreating) {
    if (path[0] == '\0') return 0;
    TrimPathSpaces(path);
    if (path[0] == '\0') return 0;
    AppendBackslash(path);
    if (CanEnterFolder(path)) return 1;

    char rebuilt[kMaxPath];
    bool told = false;
    RebuildFolderLevels(path, rebuilt, [&](const char* level) {
        if (beforeCreating && !told && !IsDriveOrShareLevel(level) &&
            ::GetFileAttributesA(level) == INVALID_FILE_ATTRIBUTES) {
            told = true;
            beforeCreating(level);
        }
        // A level that is there already simply fails.
        (void)::CreateDirectoryA(level, nullptr);
    });
    std::strcpy(path, rebuilt);
    AppendBackslash(path);
    return CanEnterFolder(path) ? 1 : 0;
}
