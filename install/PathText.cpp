#include "install/PathText.h"

#include <cstring>

#include "product/Limits.h"

void TrimPathSpaces(char* path) {
    size_t length = std::strlen(path);
    while (length > 0 && path[length - 1] == ' ') path[--length] = '\0';
    if (path[0] != ' ' || length >= static_cast<size_t>(kMaxPath)) return;
    size_t first = 0;
    while (path[first] == ' ') ++first;
    std::memmove(path, path + first, length - first + 1);
}

void AppendBackslash(char* path) {
    const size_t length = std::strlen(path);
    if (length == 0 || length >= static_cast<size_t>(kMaxPath - 1)) return;
    if (path[length - 1] == '\\') return;
    path[length] = '\\';
    path[length + 1] = '\0';
}
