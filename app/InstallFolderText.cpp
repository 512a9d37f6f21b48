#include "app/InstallFolderText.h"

#include <cstring>

#include "app/Limits.h"
#include "app/ProductInfo.h"

namespace {

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
        if (path[i] == '\\' || path[i] == '/') folderLength = i + 1;
    }
    return JoinWithBackslash(path, folderLength, "", folder);
}
