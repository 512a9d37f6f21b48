#include "install/ExtractResource.h"

#include <cstdio>
#include <cstring>

#include "product/Limits.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"

namespace {

// The temporary file's name ("~ts" and four hex digits) is shorter than every
// payload file name, so it fits wherever its target fits.
constexpr char kTemporaryNamePattern[] = "~ts%04x";
constexpr char kTemporaryNamePrefix[] = "~ts";
constexpr size_t kTemporaryNameDigits = 4;
constexpr char kTemporaryNameSearch[] = "~ts????";
constexpr int kTemporaryNameAttempts = 64;

// Exactly a name that kTemporaryNamePattern gives.
bool IsTemporaryCopyName(const char* name) {
    const size_t prefixLength = sizeof kTemporaryNamePrefix - 1;
    if (std::strlen(name) != prefixLength + kTemporaryNameDigits ||
        std::strncmp(name, kTemporaryNamePrefix, prefixLength) != 0) {
        return false;
    }
    for (const char* digit = name + prefixLength; *digit; ++digit) {
        if (!(*digit >= '0' && *digit <= '9') && !(*digit >= 'a' && *digit <= 'f')) return false;
    }
    return true;
}

// Deletes the temporary file unless it became the target.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (m_path[0] != '\0') (void)::DeleteFileA(m_path);
    }
    char* Path() { return m_path; }
    void Keep() { m_path[0] = '\0'; }

private:
    char m_path[kMaxPath] = {};
};

enum class TargetState { Free, InUse, Refused };

// A target that another process (or handle) holds open cannot be opened
// for writing without sharing; a missing target is free. The rename below
// also refuses an open target on most file systems, but not where renames
// follow POSIX rules, so an open target never takes the rename.
TargetState ProbeTarget(const char* path) {
    UniqueFile probe(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (probe) return TargetState::Free;
    switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND: return TargetState::Free;
        case ERROR_SHARING_VIOLATION: return TargetState::InUse;
        default: return TargetState::Refused;
    }
}

// Puts the complete copy in place of the target by renaming it.
bool ReplaceWithCopy(const char* copy, const char* path) {
    if (MoveFileExForReplace(copy, path, MOVEFILE_REPLACE_EXISTING)) return true;
    if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    // Windows 9x renames only onto a free name: the old file goes first,
    // then the complete copy takes its name.
    if (!::DeleteFileA(path) && ::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    return ::MoveFileA(copy, path) != FALSE;
}

// Overwrites a target in use in place: possible only when its holder shares
// writing. Reached only once the complete copy is written, so the target is
// never cut short for want of room.
bool WriteInPlace(const char* path, const void* bytes, DWORD size) {
    UniqueFile target(::CreateFileA(path, GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // 9x knows no FILE_SHARE_DELETE and refuses it as a parameter.
    if (!target && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        target.Reset(::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (!target) return false;
    DWORD written = 0;
    if (!::WriteFile(target.Get(), bytes, size, &written, nullptr) || written != size) return false;
    return ::CloseHandle(target.Release()) != FALSE;
}

// Creates a new, exclusively opened file beside the target.
UniqueFile CreateTemporaryBeside(const char* path, TemporaryFile& temporary) {
    const char* slash = std::strrchr(path, '\\');
    const size_t folderLength = slash ? static_cast<size_t>(slash - path) + 1 : 0;
    const DWORD seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        char name[16];
        std::snprintf(name, sizeof name, kTemporaryNamePattern,
                      static_cast<unsigned>((seed + attempt) & 0xFFFF));
        if (folderLength + std::strlen(name) >= static_cast<size_t>(kMaxPath)) break;
        std::memcpy(temporary.Path(), path, folderLength);
        std::strcpy(temporary.Path() + folderLength, name);
        UniqueFile file(::CreateFileA(temporary.Path(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_ARCHIVE, nullptr));
        if (file) return file;
        if (::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    temporary.Keep();  // nothing was created
    return UniqueFile();
}

}  // namespace

BOOL(WINAPI* MoveFileExForReplace)(LPCSTR, LPCSTR, DWORD) = ::MoveFileExA;

void RemoveLeftoverCopies(const char* folder) {
    char search[kMaxPath];
    if (std::snprintf(search, sizeof search, "%s%s", folder, kTemporaryNameSearch) >= kMaxPath) return;
    WIN32_FIND_DATAA found = {};
    UniqueFindHandle find(::FindFirstFileA(search, &found));
    if (!find) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsTemporaryCopyName(found.cFileName)) {
            continue;
        }
        char path[kMaxPath];
        if (std::snprintf(path, sizeof path, "%s%s", folder, found.cFileName) >= kMaxPath) continue;
        // A copy that another setup is writing is open without sharing and
        // stays; a leftover that cannot go shows no failure of its own.
        (void)::DeleteFileA(path);
    } while (::FindNextFileA(find.Get(), &found));
}

bool LoadResourceBytes(WORD id, LPCSTR type, const void*& bytes, DWORD& size) {
    const HMODULE module = AppInstance();
    const HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!info) return false;
    const HGLOBAL loaded = ::LoadResource(module, info);
    if (!loaded) return false;
    bytes = ::LockResource(loaded);
    size = ::SizeofResource(module, info);
    return bytes != nullptr;
}

int ExtractResourceToFile(const char* path, WORD id, LPCSTR type) {
    const void* bytes = nullptr;
    DWORD size = 0;
    if (!LoadResourceBytes(id, type, bytes, size)) return 0;

    // Clears read-only, hidden and system so that an existing file can be
    // replaced; a missing file simply fails here.
    (void)::SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE);
    const TargetState target = ProbeTarget(path);
    if (target == TargetState::Refused) return 0;

    TemporaryFile temporary;
    UniqueFile file = CreateTemporaryBeside(path, temporary);
    if (!file) return 0;
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes, size, &written, nullptr) || written != size) return 0;
    if (!::CloseHandle(file.Release())) return 0;

    // The complete copy exists now; it is removed on every path but the rename.
    if (target == TargetState::InUse) return WriteInPlace(path, bytes, size) ? 1 : 0;
    if (!ReplaceWithCopy(temporary.Path(), path)) return 0;
    temporary.Keep();
    return 1;
}
