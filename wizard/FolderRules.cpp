#include "wizard/FolderRules.h"

#include <cctype>
#include <cstring>
#include <string>

#include "product/Limits.h"

namespace {

// The last component that counts as the product folder, and what a browsed
// folder receives otherwise.
constexpr char kProductComponent[] = "\\tessolo\\";
constexpr char kProductFolder[] = "Tessolo\\";

// A drive root: "D:\".
constexpr size_t kDriveRootLength = 3;

bool EqualsIgnoringAsciiCase(const char* first, const char* second) {
    for (; *first && *second; ++first, ++second) {
        const auto a = static_cast<unsigned char>(*first);
        const auto b = static_cast<unsigned char>(*second);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return *first == *second;
}

std::string WithBackslash(const char* folder) {
    std::string text(folder);
    if (text.empty() || text.back() != '\\') text += '\\';
    return text;
}

}  // namespace

void AppendProductFolder(char* path) {
    size_t length = std::strlen(path);
    if (length == 0 || path[length - 1] != '\\') {
        if (length + 1 >= static_cast<size_t>(kMaxPath)) return;
        path[length++] = '\\';
        path[length] = '\0';
    }

    // The last component starts at the last backslash before the final one.
    int slash = static_cast<int>(length) - 2;
    while (slash >= 0 && path[slash] != '\\') --slash;

    const bool namedOtherwise = slash > 0 && !EqualsIgnoringAsciiCase(path + slash, kProductComponent);
    const bool driveRoot = length == kDriveRootLength;
    if (!namedOtherwise && !driveRoot) return;
    if (length + std::strlen(kProductFolder) >= static_cast<size_t>(kMaxPath)) return;
    std::strcat(path, kProductFolder);
}

void BrowseStartSelection(const char* fieldText, char* selection) {
    std::strncpy(selection, fieldText, kMaxPath - 1);
    selection[kMaxPath - 1] = '\0';
    const size_t length = std::strlen(selection);
    if (length > kDriveRootLength && selection[length - 1] == '\\') selection[length - 1] = '\0';
}

bool HasDrivePart(const char* fieldText) { return fieldText[0] != '\0' && fieldText[1] == ':'; }

bool IsSameFolder(const char* first, const char* second) {
    return EqualsIgnoringAsciiCase(WithBackslash(first).c_str(), WithBackslash(second).c_str());
}
