#include "install/FolderLevels.h"

#include <cstring>

#include "product/Limits.h"
#include "install/PathText.h"

void RebuildFolderLevels(const char* path, char* rebuilt,
                         const std::function<void(const char* level)>& createLevel) {
    const size_t length = strnlen(path, kMaxPath - 1);
    size_t in = 0;
    // "\\server\share" and "\folder" keep their leading backslashes: without
    // them the levels would be rebuilt below the current directory.
    while (in < length && in < 2 && path[in] == '\\') {
        rebuilt[in] = '\\';
        ++in;
    }
    size_t out = in;
    rebuilt[out] = '\0';
    for (; in < length; ++in) {
        if (path[in] != '\\') {
            rebuilt[out++] = path[in];
            rebuilt[out] = '\0';
            continue;
        }
        TrimPathSpaces(rebuilt);
        // Drive roots, server and share names and existing levels simply fail.
        createLevel(rebuilt);
        AppendBackslash(rebuilt);
        out = std::strlen(rebuilt);
    }
}

bool IsDriveOrShareLevel(const char* level) {
    if (level[0] != '\0' && level[1] == ':' && level[2] == '\0') return true;
    if (level[0] != '\\' || level[1] != '\\') return false;
    // Past the server's name one more backslash starts the share.
    const char* const server = level + 2;
    const char* const share = std::strchr(server, '\\');
    return share == nullptr || std::strchr(share + 1, '\\') == nullptr;
}
