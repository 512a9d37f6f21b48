#include "install/InstallRecord.h"

#include <windows.h>

#include "framework/Handles.h"
#include "install/InstalledNames.h"
#include "install/Probes.h"
#include "install/RegistryWrite.h"
#include "product/Limits.h"

namespace {

// The file system compares names without regard to case.
bool IsAtOrBelow(const std::string& level, const std::string& top) {
    if (top.empty() || level.size() < top.size()) return false;
    if (level.size() > top.size() && level[top.size()] != '\\') return false;
    return ::lstrcmpiA(level.substr(0, top.size()).c_str(), top.c_str()) == 0;
}

std::string ReadCreatedFolderRecord() {
    char text[kMaxPath];
    DWORD size = kMaxPath;
    if (!ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, kCreatedFolderValue, text, &size)) {
        return std::string();
    }
    return text;
}

}  // namespace

void CreatedFolderRecord::Claim(const char* top) {
    m_previous = ReadCreatedFolderRecord();
    if (IsAtOrBelow(top, m_previous)) return;
    UniqueKey key;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, key.Put(), &disposition) != ERROR_SUCCESS) {
        NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kUninstallKey);
        return;
    }
    m_createdEntry = disposition == REG_CREATED_NEW_KEY;
    m_claimed = top;
    if (!SetNamedText(key.Get(), kCreatedFolderValue, top)) {
        NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kUninstallKey);
    }
}

void CreatedFolderRecord::WithdrawUnmade() {
    if (m_claimed.empty() || ::GetFileAttributesA(m_claimed.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return;
    }
    // A stop leaves no uninstall entry where there was none.
    if (m_createdEntry) {
        (void)::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        return;
    }
    UniqueKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_SET_VALUE, key.Put()) !=
        ERROR_SUCCESS) {
        return;
    }
    if (m_previous.empty()) {
        (void)::RegDeleteValueA(key.Get(), kCreatedFolderValue);
    } else {
        (void)SetNamedText(key.Get(), kCreatedFolderValue, m_previous.c_str());
    }
}

void RecordIconLibraryDecision(bool iconLibraryKept) {
    UniqueKey key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS ||
        !SetNamedDword(key.Get(), kIconLibraryKeptValue, iconLibraryKept ? 1 : 0)) {
        NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kUninstallKey);
    }
}
