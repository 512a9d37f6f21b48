#include "install/ViewerSettings.h"

#include <cstring>
#include <vector>

#include <windows.h>

#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "install/Folders.h"
#include "install/PathText.h"
#include "install/PercentExpansion.h"
#include "install/ToolbarSkin.h"
#include "install/WriteFailures.h"

namespace {

constexpr char kLanguageSection[] = "Language";
constexpr char kLanguageDllKey[] = "DLL";
constexpr char kLanguageDll[] = "DEUTSCH.DLL";
constexpr char kLanguageNameKey[] = "Lang";
constexpr char kLanguageName[] = "Deutsch";
constexpr char kToolbarSection[] = "Toolbar";
constexpr char kSkinKey[] = "Skin";
constexpr char kSizeKey[] = "Size";
constexpr char kOthersSection[] = "Others";
constexpr char kIniFolderKey[] = "INI_Folder";

bool LookUpEnvironment(const std::string& name, std::string* value) {
    std::vector<char> buffer(kMaxPath + 1);
    ::SetLastError(ERROR_SUCCESS);  // an empty value also gives length 0
    DWORD length = ::GetEnvironmentVariableA(name.c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(length);
        length = ::GetEnvironmentVariableA(name.c_str(), buffer.data(),
                                           static_cast<DWORD>(buffer.size()));
        if (length >= buffer.size()) return false;  // changed under us
    }
    if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
    value->assign(buffer.data(), length < static_cast<DWORD>(kMaxPath) ? length : kMaxPath);
    return true;
}

// Copies text into a kMaxPath buffer, cut to fit.
void CopyPath(char* buffer, const char* text) {
    std::strncpy(buffer, text, kMaxPath - 1);
    buffer[kMaxPath - 1] = '\0';
}

// The settings folder that `expanded` names, trimmed and ending in a
// backslash, into `folder` (kMaxPath bytes). False when it names none: when
// it is empty, or when the settings file in it would not fit a path (cut
// short, it would name another folder and leave the redirect pointing at a
// folder without settings).
bool SettingsFolder(const std::string& expanded, char* folder) {
    if (expanded.size() >= static_cast<size_t>(kMaxPath)) return false;
    std::strcpy(folder, expanded.c_str());
    TrimPathSpaces(folder);
    AppendBackslash(folder);
    return folder[0] != '\0' &&
           std::strlen(folder) + std::strlen(kSettingsFileName) < static_cast<size_t>(kMaxPath);
}

// One key of the settings file; a failure is noted with the file's path.
void WriteSetting(const char* section, const char* key, const char* value, const char* path) {
    if (!::WritePrivateProfileStringA(section, key, value, path)) NoteWriteFailure(path);
}

}  // namespace

std::string ExpandPercentVariables(const char* text, bool* allSet) {
    return ExpandPercentText(text, LookUpEnvironment, allSet);
}

void WriteViewerSettings(const char* installFolder, const char* iniFolder) {
    WriteViewerSettingsForWidth(installFolder, iniFolder, ::GetSystemMetrics(SM_CXFULLSCREEN));
}

void WriteViewerSettingsForWidth(const char* installFolder, const char* iniFolder,
                                 int fullScreenWidth) {
    char folder[kMaxPath];
    CopyPath(folder, installFolder);
    TrimPathSpaces(folder);
    AppendBackslash(folder);
    std::string settingsPath = std::string(folder) + kSettingsFileName;

    if (iniFolder[0] != '\0') {
        bool allSet = true;
        const std::string expanded =
            std::strchr(iniFolder, '%') ? ExpandPercentVariables(iniFolder, &allSet) : iniFolder;
        // An option that names no folder leaves the settings at home; a bare
        // file name would put them into the Windows folder. An unset variable
        // (98 SE has no APPDATA) would leave a redirect nothing can resolve and
        // a folder at the root of the current drive.
        char redirect[kMaxPath];
        if (allSet && SettingsFolder(expanded, redirect)) {
            (void)EnsureFolderExists(redirect);  // not examined: the writes below just fail
            WriteSetting(kOthersSection, kIniFolderKey, iniFolder, settingsPath.c_str());
            settingsPath = std::string(redirect) + kSettingsFileName;
        }
    }

    const char* path = settingsPath.c_str();
    WriteSetting(kLanguageSection, kLanguageDllKey, kLanguageDll, path);
    WriteSetting(kLanguageSection, kLanguageNameKey, kLanguageName, path);

    // A skin the user already chose is kept, and its size with it.
    char skin[kMaxPath] = "";
    (void)::GetPrivateProfileStringA(kToolbarSection, kSkinKey, "", skin, kMaxPath, path);
    if (skin[0] != '\0') return;
    const ToolbarSkin choice = ChooseToolbarSkin(fullScreenWidth);
    WriteSetting(kToolbarSection, kSkinKey, choice.skin, path);
    WriteSetting(kToolbarSection, kSizeKey, choice.size, path);
}
