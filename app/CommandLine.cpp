#include "app/CommandLine.h"

#include <cstdlib>
#include <cstring>

#include "install/InstallOptions.h"

namespace {

constexpr char kSilentSwitch[] = "/silent";
constexpr char kFolderOption[] = "/folder=";
constexpr char kDesktopOption[] = "/desktop=";
constexpr char kThumbnailsOption[] = "/thumbs=";
constexpr char kGroupOption[] = "/group=";
constexpr char kAllUsersOption[] = "/allusers=";
constexpr char kAssocOption[] = "/assoc=";
constexpr char kAssocAllUsersSwitch[] = "/assocallusers";
constexpr char kIniOption[] = "/ini=";

// The "/assoc=" values that select file types.
constexpr int kAssocImageTypes = 1;
constexpr int kAssocAllTypes = 2;

struct NumericOption {
    const char* name;
    int InstallOptions::*field;
};

// Trailing spaces only; tabs and other blanks stay, as on the command line.
void TrimTrailingSpaces(char* text) {
    size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ') text[--length] = '\0';
}

int ReadNumericOption(const char* copy, const char* name) {
    const char* found = std::strstr(copy, name);
    if (!found) return 0;
    char value[kOptionValueLimit];
    ExtractOptionValue(found, value, static_cast<int>(std::strlen(name)), kOptionValueLimit);
    return std::atoi(value);
}

// A text option; returns false when the option is absent.
bool ReadTextOption(const char* copy, const char* name, char* out) {
    const char* found = std::strstr(copy, name);
    if (!found) return false;
    ExtractOptionValue(found, out, static_cast<int>(std::strlen(name)), kOptionValueLimit);
    StripValueQuotes(out);
    return true;
}

}  // namespace

bool IsSilentCommandLine(const char* commandLine) {
    return commandLine && std::strstr(commandLine, kSilentSwitch) != nullptr;
}

const char* ExtractOptionValue(const char* source, char* value, int skipCount, int limit) {
    int position = skipCount;
    char* out = value;
    while (position < limit && source[position] != '\0' && source[position] != '/') {
        *out++ = source[position++];
    }
    *out = '\0';
    return source + position;
}

void StripValueQuotes(char* value) {
    TrimTrailingSpaces(value);
    size_t length = std::strlen(value);
    if (length > 0 && value[length - 1] == '"') value[--length] = '\0';
    if (value[0] == '"') std::memmove(value, value + 1, length);  // moves the zero too
    TrimTrailingSpaces(value);
}

void ApplySilentOptions(const char* commandLine, InstallOptions& options) {
    char copy[kCommandLineCopyBytes];
    const size_t bytes = std::strlen(commandLine) + 1;
    std::memcpy(copy, commandLine, bytes < sizeof copy ? bytes : sizeof copy);
    copy[sizeof copy - 1] = '\0';

    // A "/folder=" option replaces the folder defaults only when present.
    char folder[kOptionValueLimit];
    if (ReadTextOption(copy, kFolderOption, folder)) {
        std::strcpy(options.installFolder, folder);
    }

    static const NumericOption kNumericOptions[] = {
        {kDesktopOption, &InstallOptions::desktopShortcut},
        {kThumbnailsOption, &InstallOptions::thumbnailsShortcut},
        {kGroupOption, &InstallOptions::startMenuShortcut},
        {kAllUsersOption, &InstallOptions::allUsersShortcuts},
    };
    for (const NumericOption& option : kNumericOptions) {
        options.*option.field = ReadNumericOption(copy, option.name);
    }

    const int assoc = ReadNumericOption(copy, kAssocOption);
    if (assoc == kAssocImageTypes || assoc == kAssocAllTypes) {
        const int rows = assoc == kAssocImageTypes ? ImageTypeCount : FileTypeCount;
        for (int i = 0; i < rows; ++i) options.fileTypeSelection[i] = 1;
        options.associateFiles = 1;
    }

    if (std::strstr(copy, kAssocAllUsersSwitch)) options.assocAllUsers = 1;

    char ini[kOptionValueLimit];
    if (ReadTextOption(copy, kIniOption, ini)) std::strcpy(options.iniFolder, ini);
}
