#include "install/InstallFolder.h"

#include <cstring>
#include <string>

#include <windows.h>

#include "framework/FullPathName.h"
#include "install/InstallFolderText.h"
#include "product/Limits.h"
#include "install/PathText.h"
#include "install/Probes.h"

namespace {

constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kProgramFilesValue[] = "ProgramFilesDir";
constexpr char kFallbackFolder[] = "C:\\Tessolo\\";
constexpr char kOpenCommandKey[] = "SOFTWARE\\Classes\\Tessolo\\shell\\open\\command";
constexpr char kDefaultValue[] = "";

// A string value of HKEY_LOCAL_MACHINE in a path buffer; false when the key
// or the value cannot be read or the value does not fit.
bool ReadMachineString(const char* subkey, const char* name, char* buffer) {
    DWORD size = kMaxPath;
    return ReadRegistryString(HKEY_LOCAL_MACHINE, subkey, name, buffer, &size) == 1;
}

}  // namespace

int GetDefaultInstallFolder(char* folder) {
    std::strcpy(folder, kFallbackFolder);
    // A key that opens but whose value cannot be read, or a folder too long
    // for the product folder, keeps the fallback.
    char programFiles[kMaxPath];
    if (ReadMachineString(kCurrentVersionKey, kProgramFilesValue, programFiles)) {
        (void)DefaultFolderFromProgramFiles(programFiles, folder);
    }
    return 1;
}

int FindPreviousInstallFolder(char* folder) {
    folder[0] = '\0';
    char command[kMaxPath];
    if (!ReadMachineString(kOpenCommandKey, kDefaultValue, command) || command[0] == '\0') {
        return 0;
    }
    return FolderFromOpenCommand(command, folder) ? 1 : 0;
}

void MakeInstallFolderAbsolute(char* folder) {
    char trimmed[kMaxPath];
    std::strcpy(trimmed, folder);
    TrimPathSpaces(trimmed);
    if (!NeedsCurrentDirectory(trimmed)) return;
    const std::string full = FullPathName(trimmed);
    if (full.empty() || full.size() >= static_cast<size_t>(kMaxPath)) return;
    std::strcpy(folder, full.c_str());
}
