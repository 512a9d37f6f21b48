#include "uninstall/UninstallFiles.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "framework/Handles.h"
#include "install/InstallRecord.h"
#include "install/IconLibraryProbe.h"
#include "install/PayloadTable.h"
#include "install/InstalledNames.h"
#include "install/OsFamilyQuery.h"
#include "install/Shortcuts.h"
#include "uninstall/OpenedLink.h"

namespace {

// A link the setup writes: its name and the file it points at.
struct OurLink {
    std::string name;
    std::string target;
};

// A shell link of the setup's is a few hundred bytes; anything far larger is
// not one of ours.
constexpr unsigned long kMaxLinkBytes = 65536;

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != 0xFFFFFFFF; }

bool IsReparsePoint(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != 0xFFFFFFFF && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string WithoutBackslash(const std::string& folder) {
    return folder.substr(0, folder.size() - 1);
}

// Deletes one file of ours; a file that is already gone is no failure.
void DeleteOurFile(const std::string& path, RemovalReport& report) {
    if (!Exists(path)) return;
    if (IsReparsePoint(path)) {
        report.kept.push_back(path);
        return;
    }
    // The setup replaces read-only files; they go here the same way.
    (void)::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::DeleteFileA(path.c_str())) report.failed.push_back(path);
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

// Removes the folder (ending in a backslash) when it is empty. One that still
// holds files stays for them (kept); an empty one that cannot be removed (in
// use, access denied) is a failure. The error code cannot tell the two
// apart: 9x answers a folder with files as access denied.
void RemoveFolderWhenEmpty(const std::string& folder, RemovalReport& report) {
    const std::string path = WithoutBackslash(folder);
    if (!Exists(path)) return;
    if (IsReparsePoint(path)) {
        report.kept.push_back(path);
        return;
    }
    if (::RemoveDirectoryA(path.c_str())) return;
    (FolderEntries(folder, "*").empty() ? report.failed : report.kept).push_back(path);
}

ComPtr<IShellLinkA> NewShellLink() {
    ComPtr<IShellLinkA> link;
    (void)::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                             reinterpret_cast<void**>(link.Put()));
    return link;
}

// The target a loaded shell link holds, as stored.
bool StoredTarget(IShellLinkA* link, std::string& target) {
    char stored[kMaxPath] = {};
    if (FAILED(link->GetPath(stored, kMaxPath, nullptr, SLGP_RAWPATH))) return false;
    target = stored;
    return true;
}

// The target of the shell link file at linkPath; false when it cannot be read.
bool ReadLinkTarget(const std::string& linkPath, std::string& target) {
    ComPtr<IShellLinkA> link = NewShellLink();
    ComPtr<IPersistFile> file;
    if (!link ||
        FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())))) {
        return false;
    }
    WCHAR widePath[kMaxPath] = {};
    return ::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, kMaxPath) != 0 &&
           SUCCEEDED(file.Get()->Load(widePath, STGM_READ)) && StoredTarget(link.Get(), target);
}

// The target of a shell link from its bytes, as read through a held handle.
bool LinkTargetFromBytes(const std::string& bytes, std::string& target) {
    ComPtr<IShellLinkA> link = NewShellLink();
    ComPtr<IPersistStream> persist;
    ComPtr<IStream> stream;
    if (!link ||
        FAILED(link.Get()->QueryInterface(IID_IPersistStream,
                                          reinterpret_cast<void**>(persist.Put()))) ||
        FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()))) {
        return false;
    }
    ULONG written = 0;
    const LARGE_INTEGER start = {};
    return SUCCEEDED(stream.Get()->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) &&
           written == bytes.size() &&
           SUCCEEDED(stream.Get()->Seek(start, STREAM_SEEK_SET, nullptr)) &&
           SUCCEEDED(persist.Get()->Load(stream.Get())) && StoredTarget(link.Get(), target);
}

// On NT the link is opened once: checked, read and deleted through that
// handle. Wine shows a host symbolic link as a reparse point by name only,
// so the name is looked at as well.
void RemoveHeldLink(const std::string& path, const std::string& expectedTarget,
                    RemovalReport& report) {
    OpenedLink held(path);
    std::string bytes;
    std::string target;
    if (IsReparsePoint(path) || !held.IsOpen() || held.IsReparsePoint() ||
        !held.ReadAll(kMaxLinkBytes, bytes) || !LinkTargetFromBytes(bytes, target)) {
        report.kept.push_back(path);
        return;
    }
    if (::lstrcmpiA(target.c_str(), expectedTarget.c_str()) == 0 && !held.Delete()) {
        report.failed.push_back(path);
    }
}

// A link by one of our names that leads elsewhere is the user's (or another
// program's) and stays; one that cannot be read stays too, and is named.
void RemoveOurLink(const std::string& folder, const OurLink& link, RemovalReport& report) {
    const std::string path = folder + link.name;
    if (!Exists(path)) return;
    if (QueryOsVersion().platformId == VER_PLATFORM_WIN32_NT) {
        RemoveHeldLink(path, link.target, report);
        return;
    }
    // 9x opens no file without following it and cannot delete through a
    // handle: there the link is judged and deleted by name.
    std::string target;
    if (IsReparsePoint(path) || !ReadLinkTarget(path, target)) {
        report.kept.push_back(path);
        return;
    }
    if (::lstrcmpiA(target.c_str(), link.target.c_str()) == 0) DeleteOurFile(path, report);
}

std::vector<OurLink> GroupLinks(const std::string& installFolder) {
    const std::string viewer = installFolder + kViewerExeName;
    char viewerLink[kMaxPath];
    std::snprintf(viewerLink, sizeof viewerLink, kGroupLinkFormat, kProductMajor, kProductMinor);
    std::vector<OurLink> links = {{viewerLink, viewer}, {kGroupThumbnailsLinkName, viewer}};
    for (const GroupLink& link : kGroupFileLinks) {
        links.push_back({link.linkName, installFolder + link.fileInFolder});
    }
    return links;
}

std::string SpecialFolder(int id) {
    char path[kMaxPath] = {};
    if (!::SHGetSpecialFolderPathA(nullptr, path, id, FALSE)) return std::string();
    std::string text = path;
    if (!text.empty() && text.back() != '\\') text += '\\';
    return text;
}

// A value of the install record; false when there is none.
bool ReadRecordValue(const char* name, DWORD expectedType, void* data, DWORD size) {
    UniqueKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE, key.Put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    return ::RegQueryValueExA(key.Get(), name, nullptr, &type, static_cast<BYTE*>(data), &size) ==
               ERROR_SUCCESS &&
           type == expectedType;
}

}  // namespace

void RemoveInstalledFiles(const std::string& folder, bool ownEntry, RemovalReport& report) {
    // An install folder that is a junction shows as a folder that is not
    // empty; its files stay.
    if (IsReparsePoint(WithoutBackslash(folder))) return;
    // The entry's record tells only about the installation it names; for
    // another one the setup's own rule tells whether it kept the file found.
    DWORD iconLibraryKept = 0;
    if (ownEntry) {
        (void)ReadRecordValue(kIconLibraryKeptValue, REG_DWORD, &iconLibraryKept,
                              sizeof iconLibraryKept);
    }

    std::vector<std::string> subfolders;
    for (const PayloadItem& item : kPayloadItems) {
        if (!std::strcmp(item.fileName, kUninstallExeName) && !item.subfolder[0]) continue;
        // The setup left the icon library it found in place: it is not ours.
        std::string subfolder = folder;
        if (item.subfolder[0]) {
            subfolder += std::string(item.subfolder) + "\\";
            if (subfolders.empty() || subfolders.back() != subfolder) subfolders.push_back(subfolder);
            if (IsReparsePoint(WithoutBackslash(subfolder))) continue;
        }
        const std::string path = subfolder + item.fileName;
        if (item.rule == WriteRule::IconLibrary &&
            (ownEntry ? iconLibraryKept == 1 : IconLibraryRuleKeeps(path.c_str()))) {
            continue;
        }
        DeleteOurFile(path, report);
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
        if (!Exists(WithoutBackslash(group))) continue;
        if (!IsReparsePoint(WithoutBackslash(group))) {
            for (const OurLink& link : GroupLinks(folder)) RemoveOurLink(group, link, report);
        }
        RemoveFolderWhenEmpty(group, report);
    }
    const std::string viewer = folder + kViewerExeName;
    for (int desktopId : {CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY}) {
        const std::string desktop = SpecialFolder(desktopId);
        if (desktop.empty()) continue;
        for (const char* name : {kDesktopLinkName, kThumbnailsLinkName}) {
            RemoveOurLink(desktop, {name, viewer}, report);
        }
    }
}

bool OnlyUninstallerLeft(const std::string& folder) {
    const std::vector<std::string> entries = FolderEntries(folder, "*");
    return entries.size() == 1 && ::lstrcmpiA(entries[0].c_str(), kUninstallExeName) == 0;
}

std::string ReadCreatedFolder() {
    char text[kMaxPath] = {};
    if (!ReadRecordValue(kCreatedFolderValue, REG_SZ, text, kMaxPath - 1)) return std::string();
    return text;
}
