#include "install/Shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "framework/Handles.h"
#include "install/Folders.h"
#include "install/PathText.h"
#include "install/WriteFailures.h"

namespace {

constexpr char kOldGroupLinkFormat[] = "%sTessolo %s.lnk";
// The links of these versions are replaced by the current version's.
constexpr const char* kReplacedVersions[] = {"4.28", "4.27"};

// Saves one shell link to linkPath; the optional parts are skipped when null.
int SaveShellLink(const char* linkPath, const char* target, const char* arguments,
                  const char* iconPath, int iconIndex, const char* description) {
    ComScope com;
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.Put())))) {
        return 0;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())))) {
        return 0;
    }
    if (iconPath) link.Get()->SetIconLocation(iconPath, iconIndex);

    // The link file is the one path that the shell takes as UTF-16.
    WCHAR widePath[kMaxPath] = {};
    if (::MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, kMaxPath) == 0) return 0;

    link.Get()->SetPath(target);
    if (arguments) link.Get()->SetArguments(arguments);
    if (description) link.Get()->SetDescription(description);
    return SUCCEEDED(file.Get()->Save(widePath, TRUE)) ? 1 : 0;
}

// folder + name into a kMaxPath buffer; false when it does not fit.
bool JoinPath(char* out, const char* folder, const char* name) {
    const int written = std::snprintf(out, kMaxPath, "%s%s", folder, name);
    return written >= 0 && written < kMaxPath;
}

// The current user's folder of the kind a common folder is.
int CurrentUserCounterpart(int folderId) {
    switch (folderId) {
        case CSIDL_COMMON_DESKTOPDIRECTORY: return CSIDL_DESKTOP;
        case CSIDL_COMMON_PROGRAMS: return CSIDL_PROGRAMS;
        default: return folderId;
    }
}

}  // namespace

void GetSpecialFolderPath(char* buffer, int folderId) {
    buffer[0] = '\0';
    // 98 SE has no common folders, only one set that every user sees: the
    // current user's folder of the same kind, where the uninstaller looks too.
    if (!::SHGetSpecialFolderPathA(nullptr, buffer, folderId, FALSE) &&
        !::SHGetSpecialFolderPathA(nullptr, buffer, CurrentUserCounterpart(folderId), FALSE)) {
        ::GetWindowsDirectoryA(buffer, kMaxPath);
    }
    AppendBackslash(buffer);
}

int CreateGroupShortcut(const char* folder, const char* linkName, const char* target,
                        const char* arguments, const char* iconPath, int iconIndex) {
    char linkPath[kMaxPath];
    const int saved = JoinPath(linkPath, folder, linkName) &&
                      SaveShellLink(linkPath, target, arguments, iconPath, iconIndex, nullptr);
    if (!saved) NoteWriteFailure(std::string(folder) + linkName);
    return saved;
}

int CreateDesktopShortcut(const char* target, const char* linkName, const char* iconPath,
                          const char* description, const char* arguments, int iconIndex,
                          int allUsers) {
    char desktop[kMaxPath];
    GetSpecialFolderPath(desktop, allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOP);
    char linkPath[kMaxPath];
    const int saved = JoinPath(linkPath, desktop, linkName) &&
                      SaveShellLink(linkPath, target, arguments, iconPath, iconIndex, description);
    if (!saved) NoteWriteFailure(std::string(desktop) + linkName);
    return saved;
}

int CreateProgramGroup(const char* installFolder, int allUsers) {
    char programs[kMaxPath];
    GetSpecialFolderPath(programs, allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS);
    char group[kMaxPath];
    if (!JoinPath(group, programs, kGroupFolderName)) {
        NoteWriteFailure(std::string(programs) + kGroupFolderName);
        return 0;
    }
    // A group that cannot be made still gets its attempts: each link fails alone.
    (void)EnsureFolderExists(group);

    char viewer[kMaxPath];
    if (!JoinPath(viewer, installFolder, kViewerExeName)) {
        NoteWriteFailure(group);
        return 0;
    }

    char linkName[kMaxPath];
    std::snprintf(linkName, sizeof linkName, kGroupLinkFormat, kProductMajor, kProductMinor);
    int result = CreateGroupShortcut(group, linkName, viewer, nullptr, nullptr, 0);

    for (const char* version : kReplacedVersions) {
        char oldLink[kMaxPath];
        const int written = std::snprintf(oldLink, sizeof oldLink, kOldGroupLinkFormat, group, version);
        // A missing old link is the usual case, not an error.
        if (written > 0 && written < kMaxPath) (void)::DeleteFileA(oldLink);
    }

    result = CreateGroupShortcut(group, kGroupThumbnailsLinkName, viewer, kThumbnailsArgument,
                                 viewer, kThumbnailsIconIndex);
    for (const GroupLink& link : kGroupFileLinks) {
        char target[kMaxPath];
        result = JoinPath(target, installFolder, link.fileInFolder)
                     ? CreateGroupShortcut(group, link.linkName, target, nullptr, nullptr, 0)
                     : 0;
    }
    return result;
}
