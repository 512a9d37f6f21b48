#include "install/PreviousOwners.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "framework/Handles.h"
#include "install/RegistryWrite.h"

namespace {

constexpr char kRecordNameFormat[] = ".%s";

// A REG_SZ value into a kMaxPath buffer; false when absent, not text or too long.
bool ReadText(HKEY root, const char* path, const char* name, char* text) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = kMaxPath - 1;
    std::memset(text, 0, kMaxPath);
    return ::RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text),
                              &size) == ERROR_SUCCESS &&
           type == REG_SZ;
}

// Records the value at root\path (name) under recordKey as ".ext", when it
// names another program.
void RecordOwner(HKEY root, const char* path, const char* name, HKEY recordRoot,
                 const char* recordKey, const char* ext) {
    char owner[kMaxPath];
    if (!ReadText(root, path, name, owner) || owner[0] == '\0' || IsOwnProgId(owner)) return;
    UniqueKey key;
    if (::RegCreateKeyExA(recordRoot, recordKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    char recordName[kMaxPath];
    std::snprintf(recordName, sizeof recordName, kRecordNameFormat, ext);
    SetNamedText(key.Get(), recordName, owner);
}

// Notes ".ext" under kUserFileExtsAddedDefaultsKey when the FileExts key at
// path has no default value: the mapping is about to add an empty one.
void RecordMissingDefault(const char* path, const char* ext) {
    {
        UniqueKey existing;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, existing.Put()) ==
                ERROR_SUCCESS &&
            ::RegQueryValueExA(existing.Get(), nullptr, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_FILE_NOT_FOUND) {
            return;
        }
    }
    UniqueKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kUserFileExtsAddedDefaultsKey, 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Put(),
                          nullptr) != ERROR_SUCCESS) {
        return;
    }
    char recordName[kMaxPath];
    std::snprintf(recordName, sizeof recordName, kRecordNameFormat, ext);
    SetNamedText(key.Get(), recordName, "");
}

}  // namespace

bool IsOwnProgId(const char* progId) {
    const size_t wordLength = std::strlen(kProductWord);
    if (std::strlen(progId) <= wordLength + 1 || progId[wordLength] != '.') return false;
    char word[sizeof kProductWord] = {};
    std::memcpy(word, progId, wordLength);
    return ::lstrcmpiA(word, kProductWord) == 0;
}

void RecordPreviousOwners(OsFamily family, const int (&fileTypeSelection)[FileTypeCount],
                          int assocAllUsers) {
    const bool xpFamily = family == OsFamily::XpFamily;
    const bool vistaFamily = family == OsFamily::VistaFamily;
    // The pass takes over only chosen rows, in every family.
    for (int row = 0; row < FileTypeCount; ++row) {
        if (!fileTypeSelection[row]) continue;
        const FileTypeEntry& entry = FileTypeCatalogue[row];
        for (int i = 0; i < entry.extensionCount; ++i) {
            const char* ext = entry.extensions[i].extension;
            char path[kMaxPath];
            if (xpFamily && FormatKeyPath(path, kUserFileExtsFormat, kUserFileExtsKey, ext)) {
                RecordOwner(HKEY_CURRENT_USER, path, kFileExtsProgIdValue, HKEY_CURRENT_USER,
                            kUserFileExtsOwnersKey, ext);
                RecordMissingDefault(path, ext);
            }
            if (vistaFamily && FormatKeyPath(path, kUserChoiceFormat, kUserFileExtsKey, ext)) {
                RecordOwner(HKEY_CURRENT_USER, path, kUserChoiceProgIdValue, HKEY_CURRENT_USER,
                            kUserChoiceOwnersKey, ext);
            }
            if ((!xpFamily || assocAllUsers) &&
                FormatKeyPath(path, kMachineExtensionFormat, ext)) {
                RecordOwner(HKEY_LOCAL_MACHINE, path, nullptr, HKEY_LOCAL_MACHINE,
                            kMachineOwnersKey, ext);
            }
        }
    }
}
