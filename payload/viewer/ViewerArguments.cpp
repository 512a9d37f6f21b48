#include "ViewerArguments.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr char kThumbsSwitch[] = "/thumbs";
constexpr char kPositionSwitch[] = "/pos=(";
constexpr char kExitAfterSwitch[] = "/exitafter=";

bool StartsWith(const std::string& text, size_t at, const char* prefix) {
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

// One switch starting at `at`; unknown switches are ignored like the
// product's own viewer ignores them.
void ReadSwitch(const std::string& text, size_t at, ViewerArguments& arguments) {
    if (StartsWith(text, at, kThumbsSwitch)) {
        arguments.thumbnails = true;
    } else if (StartsWith(text, at, kPositionSwitch)) {
        const char* numbers = text.c_str() + at + std::strlen(kPositionSwitch);
        char* end = nullptr;
        const long x = std::strtol(numbers, &end, 10);
        if (*end != ',') return;
        const long y = std::strtol(end + 1, &end, 10);
        if (*end != ')') return;
        arguments.hasPosition = true;
        arguments.x = static_cast<int>(x);
        arguments.y = static_cast<int>(y);
    } else if (StartsWith(text, at, kExitAfterSwitch)) {
        arguments.exitAfterMs = static_cast<unsigned>(
            std::strtoul(text.c_str() + at + std::strlen(kExitAfterSwitch), nullptr, 10));
    }
}

// One argument with its quotes removed. A switch may follow a path inside
// the same quotes ("C:\Fotos /thumbs"), so the path ends at " /".
void ReadArgument(const std::string& argument, ViewerArguments& arguments) {
    size_t switchAt = argument[0] == '/' ? 0 : argument.find(" /");
    if (switchAt != 0 && arguments.path.empty()) {
        arguments.path = argument.substr(0, switchAt);
    }
    while (switchAt != std::string::npos) {
        if (argument[switchAt] == ' ') ++switchAt;
        ReadSwitch(argument, switchAt, arguments);
        switchAt = argument.find(" /", switchAt);
    }
}

}  // namespace

const char* SkipProgramName(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        p = std::strchr(p + 1, '"');
        p = p ? p + 1 : commandLine + std::strlen(commandLine);
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    return p;
}

ViewerArguments ParseViewerArguments(const char* tail) {
    ViewerArguments arguments;
    const char* p = tail;
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) break;
        std::string argument;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '"') quoted = !quoted;
            else argument += *p;
            ++p;
        }
        if (!argument.empty()) ReadArgument(argument, arguments);
    }
    return arguments;
}

std::string ViewerTitle(const ViewerArguments& arguments) {
    if (arguments.thumbnails) {
        return arguments.path.empty() ? "Tessolo - Thumbnails"
                                      : arguments.path + " - Tessolo Thumbnails";
    }
    return arguments.path.empty() ? "Tessolo" : arguments.path + " - Tessolo";
}
