#include "uninstall/SelfRemoval.h"

#include <windows.h>

#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "product/Limits.h"
#include "framework/Handles.h"
#include "uninstall/AdminOnlyFolder.h"

namespace {

// Names of our own making: "tsu" and five hex digits, so that they are 8.3
// names (9x's WININIT.INI knows no others). The copy ends in .exe, so that no
// system refuses to start it.
constexpr char kOwnNameFormat[] = "%stsu%05X%s";
constexpr unsigned kOwnNameMask = 0xFFFFF;
constexpr int kOwnNameAttempts = 64;
constexpr char kCopyExtension[] = ".exe";
constexpr char kAsideExtension[] = ".tmp";
constexpr char kFolderExtension[] = "";
constexpr char kWindowsTempFolder[] = "Temp\\";

// How long the copy waits for the uninstaller to end, and then for its file
// to become deletable.
constexpr DWORD kWaitForEndMs = 60000;
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeleteRetryMs = 100;

constexpr char kWininitName[] = "WININIT.INI";
// The new text is written beside it under a name of ours and swapped in; the
// old file stays under another until the new one is in place.
constexpr char kWininitNewName[] = "TSUINIT.NEW";
constexpr char kWininitOldName[] = "TSUINIT.OLD";
constexpr char kRenameSection[] = "[rename]";
constexpr char kDeleteLinePrefix[] = "NUL=";
constexpr char kLineEnd[] = "\r\n";

// The handle, then the uninstaller file's size and times as the uninstaller
// saw it, then the uninstaller and the created levels, each quoted.
constexpr int kCleanupNumbers = 7;

// What tells the uninstaller file apart from one a reinstall wrote since.
struct FileIdentity {
    unsigned long numbers[kCleanupNumbers - 1] = {};
};

bool ReadIdentity(const std::string& path, FileIdentity& identity) {
    WIN32_FIND_DATAA found;
    UniqueFindHandle find(::FindFirstFileA(path.c_str(), &found));
    if (!find) return false;
    identity.numbers[0] = found.nFileSizeHigh;
    identity.numbers[1] = found.nFileSizeLow;
    identity.numbers[2] = found.ftCreationTime.dwLowDateTime;
    identity.numbers[3] = found.ftCreationTime.dwHighDateTime;
    identity.numbers[4] = found.ftLastWriteTime.dwLowDateTime;
    identity.numbers[5] = found.ftLastWriteTime.dwHighDateTime;
    return true;
}

bool IsSameFile(const std::string& path, const FileIdentity& expected) {
    FileIdentity now;
    return ReadIdentity(path, now) &&
           std::memcmp(now.numbers, expected.numbers, sizeof now.numbers) == 0;
}

bool IsReparsePoint(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != 0xFFFFFFFF && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The folder holding path; empty when that is a drive or share root, which
// is never removed ("C:" alone would name the current directory on C:).
std::string ParentFolder(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) return std::string();
    const std::string folder = path.substr(0, slash);
    const bool driveRoot = folder.size() <= 2;
    const bool shareRoot = folder.compare(0, 2, "\\\\") == 0 &&
                           folder.find('\\', folder.find('\\', 2) + 1) == std::string::npos;
    return driveRoot || shareRoot ? std::string() : folder;
}

// True when folder is top or lies below it.
bool IsAtOrBelow(const std::string& folder, const std::string& top) {
    if (top.empty() || folder.size() < top.size()) return false;
    if (folder.size() > top.size() && folder[top.size()] != '\\') return false;
    return ::lstrcmpiA(folder.substr(0, top.size()).c_str(), top.c_str()) == 0;
}

// Tries names of our own in folder (ending in a backslash) until place
// succeeds for one that was free; returns it, or empty.
template <typename Place>
std::string PlaceUnderOwnName(const std::string& folder, const char* extension, Place place) {
    const unsigned start = (::GetTickCount() ^ ::GetCurrentProcessId()) & kOwnNameMask;
    for (int attempt = 0; attempt < kOwnNameAttempts; ++attempt) {
        char name[kMaxPath];
        const int length = std::snprintf(name, sizeof name, kOwnNameFormat, folder.c_str(),
                                         (start + attempt) & kOwnNameMask, extension);
        if (length < 0 || length >= kMaxPath) return std::string();
        if (place(name)) return name;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return std::string();
    }
    return std::string();
}

std::string WithBackslash(std::string path) {
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path;
}

// Appends a deletion line for shortPath to the [rename] section of text.
void AddDeletionLine(std::string& text, const std::string& shortPath) {
    std::string lower = text;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string line = kDeleteLinePrefix + shortPath + kLineEnd;
    const size_t section = lower.find(kRenameSection);
    if (section == std::string::npos) {
        if (!text.empty() && text.back() != '\n') text += kLineEnd;
        text += std::string(kRenameSection) + kLineEnd + line;
        return;
    }
    const size_t lineEnd = text.find('\n', section);
    if (lineEnd == std::string::npos) {
        text += kLineEnd + line;
        return;
    }
    text.insert(lineEnd + 1, line);
}

// 9x's restart deletion: one "NUL=" line per file in WININIT.INI, which may
// hold several.
bool AddWininitDeletion(const std::string& path) {
    char shortPath[kMaxPath] = {};
    const DWORD shortLength = ::GetShortPathNameA(path.c_str(), shortPath, kMaxPath);
    char windows[kMaxPath] = {};
    const UINT windowsLength = ::GetWindowsDirectoryA(windows, kMaxPath);
    if (shortLength == 0 || shortLength >= kMaxPath || windowsLength == 0 ||
        windowsLength >= kMaxPath) {
        return false;
    }
    const std::string folder = WithBackslash(windows);
    const std::string ini = folder + kWininitName;
    const std::string fresh = folder + kWininitNewName;
    const std::string old = folder + kWininitOldName;

    std::string text;
    if (FILE* in = std::fopen(ini.c_str(), "rb")) {
        char block[512];
        size_t read = 0;
        while ((read = std::fread(block, 1, sizeof block, in)) > 0) text.append(block, read);
        std::fclose(in);
    }
    AddDeletionLine(text, shortPath);
    // Other programs' pending lines are in the file: a write that fails
    // part-way must never be what the restart finds.
    (void)::DeleteFileA(fresh.c_str());
    FILE* out = std::fopen(fresh.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (std::fclose(out) != 0 || !written) {
        (void)::DeleteFileA(fresh.c_str());
        return false;
    }
    // 9x has no replacing rename: the old file steps aside first and comes
    // back when the new one cannot take its place.
    (void)::DeleteFileA(old.c_str());
    const bool hadOld = ::GetFileAttributesA(ini.c_str()) != 0xFFFFFFFF;
    if (hadOld && !::MoveFileA(ini.c_str(), old.c_str())) {
        (void)::DeleteFileA(fresh.c_str());
        return false;
    }
    if (!::MoveFileA(fresh.c_str(), ini.c_str())) {
        if (hadOld) (void)::MoveFileA(old.c_str(), ini.c_str());
        (void)::DeleteFileA(fresh.c_str());
        return false;
    }
    if (hadOld) (void)::DeleteFileA(old.c_str());
    return true;
}

// NT removes an empty folder at restart; 9x cannot, and it is left.
void DeleteFolderAtRestart(const std::string& folder) {
    if (!folder.empty() && !IsReparsePoint(folder)) {
        (void)::MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
}

// The uninstaller cannot be deleted now. Marking its own name would delete
// an uninstaller that a reinstall writes before the restart, so it is set
// aside under a name of ours first; where that fails it stays.
void DeleteAsideAtRestart(const std::string& uninstaller) {
    const std::string folder = uninstaller.substr(0, uninstaller.find_last_of('\\') + 1);
    const std::string aside = PlaceUnderOwnName(folder, kAsideExtension, [&](const char* name) {
        return ::MoveFileA(uninstaller.c_str(), name) != FALSE;
    });
    if (!aside.empty()) (void)DeleteFileAtRestart(aside);
}

std::string UserTempFolder() {
    char temp[kMaxPath] = {};
    const DWORD length = ::GetTempPathA(kMaxPath, temp);
    return length == 0 || length >= kMaxPath ? std::string() : WithBackslash(temp);
}

std::string WindowsTempFolder() {
    char windows[kMaxPath] = {};
    const UINT length = ::GetWindowsDirectoryA(windows, kMaxPath);
    return length == 0 || length >= kMaxPath ? std::string()
                                             : WithBackslash(windows) + kWindowsTempFolder;
}

// Where the copy goes, ending in a backslash; own when it is a folder of ours
// made for it. The user's temporary folder is the user's to redirect and to
// write, so an elevated uninstaller on NT makes a folder only administrators
// can write to, in the Windows temporary folder or else in the user's; where
// it can make none, there is no copy. 9x knows no such security.
struct CopyFolder {
    std::string path;
    bool own = false;
};
CopyFolder ChooseCopyFolder() {
    if (!RunsElevated()) return {UserTempFolder(), false};
    for (const std::string& root : {WindowsTempFolder(), UserTempFolder()}) {
        if (root.empty()) continue;
        const std::string made = PlaceUnderOwnName(root, kFolderExtension, [](const char* name) {
            return CreateAdminOnlyFolder(name);
        });
        if (!made.empty()) return {made + "\\", true};
    }
    return {};
}

// The next quoted text after *cursor; moves *cursor past it.
bool ReadQuoted(const char*& cursor, std::string& text) {
    const char* open = std::strchr(cursor, '"');
    const char* close = open ? std::strchr(open + 1, '"') : nullptr;
    if (!close) return false;
    text.assign(open + 1, close);
    cursor = close + 1;
    return true;
}

}  // namespace

bool DeleteFileAtRestart(const std::string& path) {
    if (::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return true;
    // NT never reads WININIT.INI: there a refusal stays a refusal.
    if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    return AddWininitDeletion(path);
}

std::string CleanupArguments(unsigned long waitHandle, const std::string& uninstaller,
                             const std::string& createdTop, const std::string& ownFolder) {
    FileIdentity identity;
    (void)ReadIdentity(uninstaller, identity);  // none: the copy finds no file to match
    std::string text = std::to_string(waitHandle);
    for (unsigned long number : identity.numbers) text += " " + std::to_string(number);
    return text + " \"" + uninstaller + "\" \"" + createdTop + "\" \"" + ownFolder + "\"";
}

void StartSelfRemoval(const std::string& uninstaller, const std::string& createdTop) {
    const CopyFolder folder = ChooseCopyFolder();
    const std::string copy =
        folder.path.empty()
            ? std::string()
            : PlaceUnderOwnName(folder.path, kCopyExtension, [&](const char* name) {
                  return ::CopyFileA(uninstaller.c_str(), name, TRUE) != FALSE;
              });
    const std::string ownFolder = folder.own ? folder.path : std::string();
    HANDLE self = nullptr;
    // The copy inherits a handle on this process to wait for.
    if (!copy.empty() && ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(),
                                           ::GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0)) {
        UniqueKernelHandle selfHandle(self);
        const std::string line =
            "\"" + copy + "\" " + kCleanupOption +
            CleanupArguments(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(self)),
                             uninstaller, createdTop, ownFolder);
        std::vector<char> writable(line.begin(), line.end());
        writable.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        // Started in its own folder, so that no current directory holds the
        // install folder and none the user can write to.
        if (::CreateProcessA(copy.c_str(), writable.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             folder.path.c_str(), &startup, &info)) {
            UniqueKernelHandle process(info.hProcess);
            UniqueKernelHandle thread(info.hThread);
            return;
        }
    }
    if (!copy.empty()) (void)::DeleteFileA(copy.c_str());
    if (!ownFolder.empty()) (void)::RemoveDirectoryA(ownFolder.c_str());
    DeleteAsideAtRestart(uninstaller);
    DeleteFolderAtRestart(ParentFolder(uninstaller));
}

int RunCleanup(const char* arguments) {
    unsigned long numbers[kCleanupNumbers] = {};
    const char* cursor = arguments;
    for (unsigned long& number : numbers) {
        char* end = nullptr;
        number = std::strtoul(cursor, &end, 10);
        if (end == cursor) return 1;
        cursor = end;
    }
    UniqueKernelHandle original(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(numbers[0])));
    FileIdentity expected;
    std::memcpy(expected.numbers, numbers + 1, sizeof expected.numbers);
    std::string uninstaller;
    std::string createdTop;
    std::string ownFolder;
    if (!original || !ReadQuoted(cursor, uninstaller) || !ReadQuoted(cursor, createdTop) ||
        !ReadQuoted(cursor, ownFolder)) {
        return 1;
    }
    const std::string folder = ParentFolder(uninstaller);

    (void)::WaitForSingleObject(original.Get(), kWaitForEndMs);
    // Behind a junction nothing is touched. A file that is no longer the one
    // the uninstaller ran from was written by a reinstall and stays. The
    // system may hold the ended program's file for a moment.
    if (folder.empty() || !IsReparsePoint(folder)) {
        for (int attempt = 0; attempt < kDeleteAttempts && IsSameFile(uninstaller, expected);
             ++attempt) {
            if (::DeleteFileA(uninstaller.c_str())) break;
            ::Sleep(kDeleteRetryMs);
        }
        if (IsSameFile(uninstaller, expected)) DeleteAsideAtRestart(uninstaller);
    }
    // Only empty folders go: files the user put there keep them. Above the
    // install folder only the levels the install created.
    std::string level = folder;
    while (!level.empty() && !IsReparsePoint(level) && ::RemoveDirectoryA(level.c_str())) {
        level = ParentFolder(level);
        if (!IsAtOrBelow(level, createdTop)) break;
    }

    // The restart deletes the copy, then its own folder, now empty.
    char self[kMaxPath] = {};
    if (::GetModuleFileNameA(nullptr, self, kMaxPath)) (void)DeleteFileAtRestart(self);
    if (!ownFolder.empty()) DeleteFolderAtRestart(ownFolder.substr(0, ownFolder.size() - 1));
    return 0;
}
