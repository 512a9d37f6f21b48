#include "payload/uninstall/UninstallFiles.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "app/Limits.h"
#include "app/ProductInfo.h"
#include "framework/Handles.h"
#include "install/PayloadTable.h"
#include "install/Shortcuts.h"

namespace {

constexpr const char* kDesktopLinkNames[] = {kDesktopLinkName, kThumbnailsLinkName};

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != 0xFFFFFFFF; }

// Deletes one file of ours; a file that is already gone is no failure.
void DeleteOurFile(const std::string& path, RemovalReport& report) {
    if (!Exists(path)) return;
    // The setup replaces read-only files; they go here the same way.
    (void)::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::DeleteFileA(path.c_str())) report.failed.push_back(path);
}

// Removes the folder (ending in a backslash) when it is empty; one that still
// holds files that are not ours is reported as kept.
void RemoveFolderWhenEmpty(const std::string& folder, RemovalReport& report) {
    const std::string path = folder.substr(0, folder.size() - 1);
    if (!Exists(path) || ::RemoveDirectoryA(path.c_str())) return;
    report.kept.push_back(path);
}

// The entries of a folder (ending in a backslash) matching pattern, "." and
// ".." left out.
std::vector<std::string> FolderEntries(const std::string& folder, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFindHandle find(::FindFirstFileA((folder + pattern).c_str(), &found));
    if (!find) return names;
    do {
        if (std::strcmp(found.cFileName, ".") && std::strcmp(found.cFileName, "..")) {
            names.push_back(found.cFileName);
        }
    } while (::FindNextFileA(find.Get(), &found));
    return names;
}

// The target of a shell link as stored; empty when it cannot be read.
std::string LinkTarget(const std::string& linkPath) {
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.Put())))) {
        return std::string();
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())))) {
        return std::string();
    }
    WCHAR widePath[kMaxPath] = {};
    if (::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, kMaxPath) == 0 ||
        FAILED(file.Get()->Load(widePath, STGM_READ))) {
        return std::string();
    }
    char target[kMaxPath] = {};
    if (FAILED(link.Get()->GetPath(target, kMaxPath, nullptr, SLGP_RAWPATH))) return std::string();
    return target;
}

// True when path lies inside folder (ending in a backslash), in any letter case.
bool LiesIn(const std::string& path, const std::string& folder) {
    if (path.size() <= folder.size()) return false;
    return ::lstrcmpiA(path.substr(0, folder.size()).c_str(), folder.c_str()) == 0;
}

void DeleteLinkInto(const std::string& linkPath, const std::string& folder,
                    RemovalReport& report) {
    if (LiesIn(LinkTarget(linkPath), folder)) DeleteOurFile(linkPath, report);
}

std::string SpecialFolder(int id) {
    char path[kMaxPath] = {};
    if (!::SHGetSpecialFolderPathA(nullptr, path, id, FALSE)) return std::string();
    std::string text = path;
    if (!text.empty() && text.back() != '\\') text += '\\';
    return text;
}

}  // namespace

void RemoveInstalledFiles(const std::string& folder, RemovalReport& report) {
    std::vector<std::string> subfolders;
    for (const PayloadItem& item : kPayloadItems) {
        if (!std::strcmp(item.fileName, kUninstallExeName) && !item.subfolder[0]) continue;
        std::string subfolder = folder;
        if (item.subfolder[0]) {
            subfolder += std::string(item.subfolder) + "\\";
            if (subfolders.empty() || subfolders.back() != subfolder) subfolders.push_back(subfolder);
        }
        DeleteOurFile(subfolder + item.fileName, report);
    }
    DeleteOurFile(folder + kSettingsFileName, report);
    for (const std::string& subfolder : subfolders) RemoveFolderWhenEmpty(subfolder, report);
}

void RemoveShortcuts(const std::string& folder, RemovalReport& report) {
    ComScope com;
    for (int programsId : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        const std::string programs = SpecialFolder(programsId);
        if (programs.empty()) continue;
        const std::string group = programs + kGroupFolderName + "\\";
        if (!Exists(group.substr(0, group.size() - 1))) continue;
        for (const std::string& name : FolderEntries(group, "*.lnk")) {
            DeleteLinkInto(group + name, folder, report);
        }
        RemoveFolderWhenEmpty(group, report);
    }
    for (int desktopId : {CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY}) {
        const std::string desktop = SpecialFolder(desktopId);
        if (desktop.empty()) continue;
        for (const char* name : kDesktopLinkNames) DeleteLinkInto(desktop + name, folder, report);
    }
}

bool OnlyUninstallerLeft(const std::string& folder) {
    const std::vector<std::string> entries = FolderEntries(folder, "*");
    return entries.size() == 1 && ::lstrcmpiA(entries[0].c_str(), kUninstallExeName) == 0;
}
