#include "framework/StringTable.h"

#include <vector>

#include "framework/WinApp.h"

namespace {
// Longest string-table entry the setup holds is well below this.
constexpr int kStringBufferChars = 1024;
}

std::string LoadStringText(UINT id, int limit) {
    const int size = limit > 0 ? limit : kStringBufferChars;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    const int length = ::LoadStringA(AppInstance(), id, buffer.data(), size);
    return std::string(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
}
