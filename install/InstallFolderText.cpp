#include "install/InstallFolderText.h"

#include <cstring>
#include <string>

#include "product/Limits.h"
#include "product/ProductInfo.h"

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

bool EndsInBackslash(const char* text, size_t length) {
    return length > 0 && text[length - 1] == '\\';
}

// Copies length characters of text into folder (kMaxPath bytes) followed by
// `tail`, with a backslash between them when text does not end in one;
// false when the whole would not fit.
bool JoinWithBackslash(const char* text, size_t length, const char* tail, char* folder) {
    const size_t separator = EndsInBackslash(text, length) ? 0 : 1;
    const size_t tailLength = std::strlen(tail);
    if (length + separator + tailLength >= static_cast<size_t>(kMaxPath)) return false;
    std::memcpy(folder, text, length);
    if (separator) folder[length] = '\\';
    std::memcpy(folder + length + separator, tail, tailLength + 1);
    return true;
}

}  // namespace

bool DefaultFolderFromProgramFiles(const char* programFiles, char* folder) {
    return JoinWithBackslash(programFiles, std::strlen(programFiles), kProductWord, folder);
}

bool FolderFromOpenCommand(const char* command, char* folder) {
    // Only an opening double quote is skipped: an unquoted command keeps its
    // drive letter.
    const char* const path = command[0] == '"' ? command + 1 : command;
    const size_t pathLength = std::strcspn(path, "\"");

    // Drive and directory as the runtime splits them: an "X:" drive, then
    // everything up to the last slash of either kind.
    const size_t driveLength = pathLength >= 2 && path[1] == ':' ? 2 : 0;
    size_t folderLength = driveLength;
    for (size_t i = driveLength; i < pathLength; ++i) {
        if (IsSlash(path[i])) folderLength = i + 1;
    }
    // A command without a drive ("t_solo32.exe" alone) names no earlier folder.
    const std::string found(path, folderLength);
    if (!HasDriveOrUncRoot(found.c_str())) return false;
    return JoinWithBackslash(path, folderLength, "", folder);
}

bool HasDriveOrUncRoot(const char* path) {
    if (path[0] == '\0') return false;
    return path[1] == ':' || (IsSlash(path[0]) && IsSlash(path[1]));
}

bool NeedsCurrentDirectory(const char* path) {
    if (path[0] == '\0') return false;
    if (!HasDriveOrUncRoot(path)) return true;
    return path[1] == ':' && path[2] != '\0' && !IsSlash(path[2]);
}
