// The uninstaller's file side: it removes what the setup wrote and nothing
// else, names what stayed and why, and its waiting copy never touches a file
// or folder that is not the installation's.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "product/ProductInfo.h"
#include "framework/Handles.h"
#include "install/InstallRecord.h"
#include "install/PayloadTable.h"
#include "install/InstalledNames.h"
#include "install/Shortcuts.h"
#include "uninstall/SelfRemoval.h"
#include "uninstall/UninstallFiles.h"
#include "tests/wine/ImportHook.h"
#include "tests/wine/ScratchFolder.h"

namespace {

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != 0xFFFFFFFF; }

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    for (const std::string& entry : list) {
        if (entry == item) return true;
    }
    return false;
}

void SetIconLibraryRecord(DWORD kept) {
    UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, key.Put(), nullptr));
    ::RegSetValueExA(key.Get(), kIconLibraryKeptValue, 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&kept), sizeof kept);
}

// Every payload file, as the setup leaves them, in folder.
void WritePayloadFiles(const std::string& folder) {
    for (const PayloadItem& item : kPayloadItems) {
        const std::string subfolder =
            item.subfolder[0] ? folder + item.subfolder + "\\" : folder;
        ::CreateDirectoryA(subfolder.c_str(), nullptr);
        WriteTextFile(subfolder + item.fileName, "payload");
    }
}

// Answers GetFileAttributesA as for a junction for paths ending so.
std::string g_junctionSuffix;
extern "C" decltype(&::GetFileAttributesA) attributesSlot IMPORT_SLOT(GetFileAttributesA, 4);
const auto realGetFileAttributes = attributesSlot;
DWORD WINAPI AttributesWithJunction(LPCSTR path) {
    const DWORD attributes = realGetFileAttributes(path);
    const std::string text = path;
    const bool junction = !g_junctionSuffix.empty() && text.size() >= g_junctionSuffix.size() &&
                          text.compare(text.size() - g_junctionSuffix.size(),
                                       std::string::npos, g_junctionSuffix) == 0;
    return junction && attributes != 0xFFFFFFFF ? attributes | FILE_ATTRIBUTE_REPARSE_POINT
                                                : attributes;
}

// Restart deletions, recorded instead of done; the error a refusal gives.
std::vector<std::string> g_markedAtRestart;
DWORD g_restartError = ERROR_ACCESS_DENIED;
extern "C" decltype(&::MoveFileExA) moveSlot IMPORT_SLOT(MoveFileExA, 12);
BOOL WINAPI RefuseRestartDeletion(LPCSTR from, LPCSTR, DWORD) {
    g_markedAtRestart.push_back(from);
    ::SetLastError(g_restartError);
    return FALSE;
}

// At the moment the uninstaller compares a link's target with ours (it has
// read the link and not yet deleted it), an attacker's swap runs once.
void (*g_swapWhileJudging)() = nullptr;
extern "C" decltype(&::lstrcmpiA) compareSlot IMPORT_SLOT(lstrcmpiA, 8);
const auto realCompare = compareSlot;
int WINAPI CompareAfterSwap(LPCSTR a, LPCSTR b) {
    if (auto swap = std::exchange(g_swapWhileJudging, nullptr)) swap();
    return realCompare(a, b);
}

// Each start refused, with its current directory and whether the program
// was there at that moment.
std::vector<std::string> g_started;
std::string g_startedIn;
bool g_copyWasThere = false;
extern "C" decltype(&::CreateProcessA) createProcessSlot IMPORT_SLOT(CreateProcessA, 40);
BOOL WINAPI RefuseStart(LPCSTR application, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                        BOOL, DWORD, LPVOID, LPCSTR directory, LPSTARTUPINFOA,
                        LPPROCESS_INFORMATION) {
    g_started.push_back(application ? application : "");
    g_startedIn = directory ? directory : "";
    g_copyWasThere = application && ::GetFileAttributesA(application) != 0xFFFFFFFF;
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// The security each folder was created with, in the system's text form.
// Wine derives a file's security from its Unix mode and keeps no other, so
// what the system was asked for is read at the moment it is asked.
std::vector<std::string> g_folderSecurity;
extern "C" decltype(&::CreateDirectoryA) createFolderSlot IMPORT_SLOT(CreateDirectoryA, 8);
const auto realCreateFolder = createFolderSlot;
BOOL WINAPI CreateFolderNoted(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
    char* text = nullptr;
    const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (attributes && attributes->lpSecurityDescriptor &&
        ::ConvertSecurityDescriptorToStringSecurityDescriptorA(
            attributes->lpSecurityDescriptor, SDDL_REVISION_1, parts, &text, nullptr)) {
        g_folderSecurity.push_back(text);
        ::LocalFree(text);
    } else {
        g_folderSecurity.push_back("<system default>");
    }
    return realCreateFolder(path, attributes);
}

// The platform the version query reports.
DWORD g_platform = VER_PLATFORM_WIN32_NT;
extern "C" decltype(&::GetVersionExA) versionSlot IMPORT_SLOT(GetVersionExA, 4);
const auto realVersion = versionSlot;
BOOL WINAPI VersionOfPlatform(LPOSVERSIONINFOA info) {
    const BOOL answered = realVersion(info);
    info->dwPlatformId = g_platform;
    return answered;
}

std::string WindowsFile(const char* name) {
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\" + name;
}

// The names in folder matching pattern.
std::vector<std::string> Matching(const std::string& folder, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFindHandle find(::FindFirstFileA((folder + pattern).c_str(), &found));
    if (find) {
        do names.push_back(found.cFileName);
        while (::FindNextFileA(find.Get(), &found));
    }
    return names;
}

void Reinstall(const std::string& uninstaller) { WriteTextFile(uninstaller, "new uninstaller"); }

// Runs the waiting copy's part in this process, its uninstaller already ended.
int RunCleanupFor(const std::string& uninstaller, const std::string& createdTop,
                  void (*meanwhile)(const std::string&) = nullptr) {
    HANDLE ended = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const std::string arguments =
        CleanupArguments(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(ended)),
                         uninstaller, createdTop, "");
    if (meanwhile) meanwhile(uninstaller);
    ::SetEvent(ended);
    return RunCleanup(arguments.c_str());  // takes the handle over
}

}  // namespace

// What the setup did not write, or what leads elsewhere, stays; what cannot
// be removed for another reason than foreign files is a failure.
TEST(UninstallFiles, RemovesOnlyWhatTheSetupWrote) {
    struct Case {
        const char* name;
        DWORD iconLibraryKept;
        bool ownEntry;         // the uninstall entry names this folder
        const char* junction;  // a subfolder that is a junction
        bool holdToolbars;     // the emptied Toolbars folder is held open
        bool glyphsStay;
    } cases[] = {
        {"icon library written by the setup", 0, true, "", false, false},
        {"icon library kept by the setup", 1, true, "", false, true},
        {"record of another installation", 1, false, "", false, false},
        {"Html is a junction", 0, true, "\\Html", false, false},
        {"Toolbars in use", 0, true, "", true, false},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        const std::string folder = scratch.Path();
        WritePayloadFiles(folder);
        SetIconLibraryRecord(c.iconLibraryKept);
        g_junctionSuffix = c.junction;
        UniqueFile held;
        if (c.holdToolbars) {
            // Removed files first, so the folder is empty when its turn comes.
            for (const char* name : {"Vellum_24.txt", "Quarto_16.txt", "Vellum_24.png",
                                     "Quarto_16.png"}) {
                ::DeleteFileA((folder + "Toolbars\\" + name).c_str());
            }
            held.Reset(::CreateFileA((folder + "Toolbars").c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        }
        RemovalReport report;
        {
            ImportHook<decltype(&::GetFileAttributesA)> hook(attributesSlot, AttributesWithJunction);
            RemoveInstalledFiles(folder, c.ownEntry, report);
        }
        held.Reset();
        EXPECT_EQ(c.glyphsStay, Exists(folder + "Plugins\\Glyphs.dll")) << c.name;
        EXPECT_EQ(c.glyphsStay, Contains(report.kept, folder + "Plugins")) << c.name;
        EXPECT_EQ(c.junction[0] != '\0', Exists(folder + "Html\\frame.html")) << c.name;
        EXPECT_EQ(c.junction[0] != '\0', Contains(report.kept, folder + "Html")) << c.name;
        EXPECT_EQ(c.holdToolbars, Contains(report.failed, folder + "Toolbars")) << c.name;
        EXPECT_FALSE(Contains(report.kept, folder + "Toolbars")) << c.name;
        EXPECT_FALSE(Exists(folder + "Plugins\\Movie.dll")) << c.name;
    }
    g_junctionSuffix.clear();
    UniqueKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_SET_VALUE, key.Put()) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueA(key.Get(), kIconLibraryKeptValue);
    }
}

// Links go by the names the setup writes and only where they lead to the
// file the setup pointed them at.
TEST(UninstallFiles, RemovesOnlyTheLinksTheSetupWrote) {
    ScratchFolder scratch;
    const std::string folder = scratch.Path();
    char programs[MAX_PATH] = {};
    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, TRUE));
    ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOP, TRUE));
    const std::string group = std::string(programs) + "\\" + kGroupFolderName + "\\";
    const std::string desk = std::string(desktop) + "\\";
    const std::string viewer = folder + kViewerExeName;
    struct Case {
        std::string folder, name, target;
        bool stays;
    } cases[] = {
        {group, "Tessolo 4.30.lnk", viewer, false},
        {group, "Was ist neu.lnk", folder + "t_changes.txt", false},
        {group, "Tessolo Hilfe.lnk", folder + "help\\t_solo32d.chm", false},
        // The user's own link to a file in the install folder.
        {group, "Meine Bilder.lnk", folder + "Bilder.txt", true},
        {group, "Was ist neu.lnk", folder + "t_about.txt", true},
        {desk, kDesktopLinkName, folder + "t_about.txt", true},
        {desk, kThumbnailsLinkName, viewer, false},
    };
    for (const Case& c : cases) {
        ComScope com;
        ::DeleteFileA((c.folder + c.name).c_str());
    }
    for (const Case& c : cases) {
        ComScope com;
        ::CreateDirectoryA(group.c_str(), nullptr);  // an emptied group goes
        ASSERT_EQ(1, CreateGroupShortcut(c.folder.c_str(), c.name.c_str(), c.target.c_str(),
                                         nullptr, nullptr, 0))
            << c.name;
        RemovalReport report;
        RemoveShortcuts(folder, report);
        EXPECT_EQ(c.stays, Exists(c.folder + c.name)) << c.name << " -> " << c.target;
        EXPECT_EQ(c.stays && c.folder == group, Contains(report.kept, group.substr(0, group.size() - 1)))
            << c.name;
        ::DeleteFileA((c.folder + c.name).c_str());
    }
    // A link by our name that cannot be read is named as kept.
    ::CreateDirectoryA(group.c_str(), nullptr);
    WriteTextFile(group + "Tessolo 4.30.lnk", "no link");
    RemovalReport report;
    RemoveShortcuts(folder, report);
    EXPECT_TRUE(Exists(group + "Tessolo 4.30.lnk"));
    EXPECT_TRUE(Contains(report.kept, group + "Tessolo 4.30.lnk"));
    ::DeleteFileA((group + "Tessolo 4.30.lnk").c_str());
    ::RemoveDirectoryA(group.c_str());
}

// The attack on a delete by name: once the uninstaller has read our link,
// the group folder (or the link itself) is swapped for another one holding a
// file of the same name; a junction does the same to the path. Whatever was
// swapped in stays. (Wine unlinks only while the name still leads to the
// opened file, so the moved link of ours stays there too; Windows deletes
// it.)
std::string g_group;
const char kSwappedLink[] = "Tessolo 4.30.lnk";
const char kVictimBytes[] = "not a link of ours";
void SwapGroupFolder() {
    const std::string folder = g_group.substr(0, g_group.size() - 1);
    ::MoveFileA(folder.c_str(), (folder + ".moved").c_str());
    ::CreateDirectoryA(folder.c_str(), nullptr);
    WriteTextFile(g_group + kSwappedLink, kVictimBytes);
}
void SwapLinkFile() {
    const std::string link = g_group + kSwappedLink;
    ::MoveFileA(link.c_str(), (link + ".moved").c_str());
    WriteTextFile(link, kVictimBytes);
}

TEST(UninstallFiles, DeletesTheLinkItReadNotWhatWasSwappedIn) {
    ScratchFolder scratch;
    const std::string folder = scratch.Path();
    char programs[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, TRUE));
    g_group = std::string(programs) + "\\" + kGroupFolderName + "\\";
    const std::string moved = g_group.substr(0, g_group.size() - 1) + ".moved\\";
    struct Case {
        const char* name;
        void (*swap)();
    } cases[] = {
        {"group folder swapped", SwapGroupFolder},
        {"link swapped", SwapLinkFile},
    };
    for (const Case& c : cases) {
        ComScope com;
        ::CreateDirectoryA(g_group.c_str(), nullptr);
        ASSERT_EQ(1, CreateGroupShortcut(g_group.c_str(), kSwappedLink,
                                         (folder + kViewerExeName).c_str(), nullptr, nullptr, 0));
        RemovalReport report;
        g_swapWhileJudging = c.swap;
        {
            ImportHook<decltype(&::lstrcmpiA)> hook(compareSlot, CompareAfterSwap);
            RemoveShortcuts(folder, report);
        }
        EXPECT_EQ(nullptr, g_swapWhileJudging) << c.name << ": the swap never ran";
        g_swapWhileJudging = nullptr;
        EXPECT_EQ(kVictimBytes, ReadWholeFile(g_group + kSwappedLink)) << c.name;
        for (const std::string& path : {g_group + kSwappedLink, g_group + kSwappedLink + ".moved",
                                        moved + kSwappedLink}) {
            ::DeleteFileA(path.c_str());
        }
        ::RemoveDirectoryA(moved.c_str());
        ::RemoveDirectoryA(g_group.c_str());
    }
}

// The waiting copy deletes the uninstaller it was started for and no other
// file, and above the install folder only the levels the install made.
TEST(SelfRemoval, CleanupRemovesOnlyTheInstallation) {
    ImportHook<decltype(&::MoveFileExA)> restart(moveSlot, RefuseRestartDeletion);
    struct Case {
        const char* name;
        bool reinstalled;  // a reinstall wrote a new uninstaller meanwhile
        bool recordLevels;
    } cases[] = {
        {"plain", false, false},
        {"created levels", false, true},
        {"reinstalled meanwhile", true, true},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        const std::string apps = scratch / "Apps";
        const std::string folder = apps + "\\Tessolo";
        ::CreateDirectoryA(apps.c_str(), nullptr);
        ::CreateDirectoryA(folder.c_str(), nullptr);
        const std::string uninstaller = folder + "\\" + kUninstallExeName;
        WriteTextFile(uninstaller, "old");
        g_markedAtRestart.clear();
        EXPECT_EQ(0, RunCleanupFor(uninstaller, c.recordLevels ? apps : "",
                                   c.reinstalled ? Reinstall : nullptr))
            << c.name;
        EXPECT_EQ(c.reinstalled, Exists(uninstaller)) << c.name;
        EXPECT_EQ(c.reinstalled, Exists(folder)) << c.name;
        EXPECT_EQ(c.reinstalled || !c.recordLevels, Exists(apps)) << c.name;
        EXPECT_TRUE(Exists(scratch.Path())) << c.name;
        // Only the copy itself is left to the restart.
        EXPECT_EQ(1u, g_markedAtRestart.size()) << c.name;
    }
}

// Where the copy cannot start: its temporary file goes, and the restart
// deletion never names the uninstaller's own name (a reinstall before the
// restart would lose its uninstaller) nor, on 9x, a folder; 9x gets short
// names in WININIT.INI, NT's refusal is final. An install in a drive root
// never marks a folder.
TEST(SelfRemoval, WithoutCopyTheRestartDeletesOnlyOurFilesUnderShortNames) {
    ImportHook<decltype(&::MoveFileExA)> restart(moveSlot, RefuseRestartDeletion);
    ImportHook<decltype(&::CreateProcessA)> start(createProcessSlot, RefuseStart);
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string wininit = WindowsFile("WININIT.INI");
    ::DeleteFileA(wininit.c_str());
    struct Case {
        const char* name;
        DWORD restartError;
        bool inDriveRoot;
        bool wininitLine;
    } cases[] = {
        {"9x", ERROR_CALL_NOT_IMPLEMENTED, false, true},
        {"NT refuses", ERROR_ACCESS_DENIED, false, false},
        {"9x, drive root", ERROR_CALL_NOT_IMPLEMENTED, true, true},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        const std::string folder =
            c.inDriveRoot ? std::string("C:\\") : scratch / "Lange Ordnernamen\\";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        const std::string uninstaller = folder + kUninstallExeName;
        WriteTextFile(uninstaller, "uninstaller");
        const size_t copiesBefore = Matching(temp, "tsu*").size();
        g_markedAtRestart.clear();
        g_started.clear();
        g_restartError = c.restartError;

        StartSelfRemoval(uninstaller, "");

        ASSERT_EQ(1u, g_started.size()) << c.name;
        const std::string copy = g_started[0];
        const std::string copyName = copy.substr(copy.find_last_of('\\') + 1);
        EXPECT_EQ(12u, copyName.size()) << copyName;
        EXPECT_EQ(".exe", copyName.substr(8)) << copyName;
        EXPECT_EQ(copiesBefore, Matching(temp, "tsu*").size()) << c.name;
        EXPECT_FALSE(Exists(copy.substr(0, copy.find_last_of('\\')))) << c.name;

        EXPECT_FALSE(Exists(uninstaller)) << c.name;
        const std::vector<std::string> aside = Matching(folder, "tsu?????.tmp");
        ASSERT_EQ(1u, aside.size()) << c.name;
        char shortAside[MAX_PATH] = {};
        ::GetShortPathNameA((folder + aside[0]).c_str(), shortAside, MAX_PATH);
        for (const std::string& marked : g_markedAtRestart) {
            EXPECT_NE(uninstaller, marked) << c.name;
            EXPECT_FALSE(c.inDriveRoot && marked != folder + aside[0]) << c.name << ": " << marked;
        }
        const std::string expectedIni =
            c.wininitLine ? std::string("[rename]\r\nNUL=") + shortAside + "\r\n" : "<missing>";
        EXPECT_EQ(expectedIni, ReadWholeFile(wininit)) << c.name;

        ::DeleteFileA(wininit.c_str());
        ::DeleteFileA((folder + aside[0]).c_str());
    }
    g_restartError = ERROR_ACCESS_DENIED;
}

// Elevated on NT the copy is started from a new folder of ours in the
// Windows temporary folder, created owned by Administrators with a DACL that
// lets Administrators and SYSTEM alone in (nothing inherited from above); on
// 9x, which knows no security, from the user's temporary folder as before.
// Both names are 8.3 names, and nothing stays when the start fails.
TEST(SelfRemoval, ElevatedCopyStartsInAFolderOnlyAdministratorsCanWrite) {
    ImportHook<decltype(&::MoveFileExA)> restart(moveSlot, RefuseRestartDeletion);
    ImportHook<decltype(&::CreateProcessA)> start(createProcessSlot, RefuseStart);
    ImportHook<decltype(&::CreateDirectoryA)> folders(createFolderSlot, CreateFolderNoted);
    ImportHook<decltype(&::GetVersionExA)> version(versionSlot, VersionOfPlatform);
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string windowsTemp = WindowsFile("Temp\\");
    struct Case {
        const char* name;
        DWORD platform;
        std::string folderAbove;  // where the copy's folder lies
        bool ownFolder;
        const char* security;
    } cases[] = {
        {"NT, elevated", VER_PLATFORM_WIN32_NT, windowsTemp, true,
         "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"},
        {"9x", VER_PLATFORM_WIN32_WINDOWS, temp, false, ""},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        const std::string uninstaller = scratch / kUninstallExeName;
        WriteTextFile(uninstaller, "uninstaller");
        g_platform = c.platform;
        g_started.clear();
        g_folderSecurity.clear();

        StartSelfRemoval(uninstaller, "");

        ASSERT_EQ(1u, g_started.size()) << c.name;
        const std::string copy = g_started[0];
        const std::string folder = copy.substr(0, copy.find_last_of('\\') + 1);
        EXPECT_TRUE(g_copyWasThere) << c.name;
        EXPECT_EQ(folder, g_startedIn) << c.name;
        if (c.ownFolder) {
            const std::string above = folder.substr(0, folder.find_last_of('\\', folder.size() - 2) + 1);
            EXPECT_EQ(0, ::lstrcmpiA(c.folderAbove.c_str(), above.c_str())) << above;
            EXPECT_EQ(8u, folder.size() - above.size() - 1) << folder;
            ASSERT_EQ(1u, g_folderSecurity.size()) << c.name;
            EXPECT_EQ(c.security, g_folderSecurity[0]) << c.name;
        } else {
            EXPECT_EQ(c.folderAbove, folder) << c.name;
            EXPECT_TRUE(g_folderSecurity.empty()) << c.name;
        }
        EXPECT_FALSE(Exists(copy)) << c.name;
        EXPECT_EQ(!c.ownFolder, Exists(folder)) << c.name;
        for (const std::string& aside : Matching(scratch.Path(), "tsu?????.tmp")) {
            ::DeleteFileA((scratch.Path() + aside).c_str());
        }
    }
    g_platform = VER_PLATFORM_WIN32_NT;
}

// 9x's WININIT.INI also holds other programs' pending lines: ours goes in by
// a new file swapped in, and where the swap cannot be made the old file
// stays as it was, with nothing of ours left beside it.
bool g_refuseWininitSwap = false;
extern "C" decltype(&::MoveFileA) moveFileSlot IMPORT_SLOT(MoveFileA, 8);
const auto realMoveFile = moveFileSlot;
BOOL WINAPI MoveFileUnlessOntoWininit(LPCSTR from, LPCSTR to) {
    // The first move onto it only: the old file may still come back.
    if (::lstrcmpiA(to, WindowsFile("WININIT.INI").c_str()) == 0 &&
        std::exchange(g_refuseWininitSwap, false)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return realMoveFile(from, to);
}

TEST(SelfRemoval, WininitLineIsSwappedInBesideOtherProgramsLines) {
    ImportHook<decltype(&::MoveFileExA)> restart(moveSlot, RefuseRestartDeletion);
    ImportHook<decltype(&::MoveFileA)> move(moveFileSlot, MoveFileUnlessOntoWininit);
    g_restartError = ERROR_CALL_NOT_IMPLEMENTED;
    const std::string wininit = WindowsFile("WININIT.INI");
    const std::string others = "[rename]\r\nNUL=C:\\OTHER\\OLD.DLL\r\n";
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    struct Case {
        const char* name;
        bool refuseSwap;
        bool marked;
    } cases[] = {
        {"swapped in", false, true},
        {"swap refused", true, false},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        const std::string file = scratch / "ours.tmp";
        WriteTextFile(file, "ours");
        char shortPath[MAX_PATH] = {};
        ::GetShortPathNameA(file.c_str(), shortPath, MAX_PATH);
        WriteTextFile(wininit, others);
        g_refuseWininitSwap = c.refuseSwap;

        EXPECT_EQ(c.marked, DeleteFileAtRestart(file)) << c.name;

        g_refuseWininitSwap = false;
        const std::string ours = std::string("NUL=") + shortPath + "\r\n";
        EXPECT_EQ(c.marked ? "[rename]\r\n" + ours + others.substr(10) : others,
                  ReadWholeFile(wininit))
            << c.name;
        EXPECT_TRUE(Matching(std::string(windows) + "\\", "TSUINIT.*").empty()) << c.name;
    }
    ::DeleteFileA(wininit.c_str());
    g_restartError = ERROR_ACCESS_DENIED;
}

// When copying fails, nothing stays in the temporary folder.
TEST(SelfRemoval, FailedCopyLeavesNoTemporaryFile) {
    ImportHook<decltype(&::MoveFileExA)> restart(moveSlot, RefuseRestartDeletion);
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const size_t before = Matching(temp, "tsu*").size();
    ScratchFolder scratch;
    StartSelfRemoval(scratch / "missing\\ts_uninstall.exe", "");
    EXPECT_EQ(before, Matching(temp, "tsu*").size());
}
