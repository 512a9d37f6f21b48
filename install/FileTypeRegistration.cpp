#include "install/FileTypeRegistration.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "framework/Handles.h"
#include "install/InstalledNames.h"
#include "install/RegistryWrite.h"
#include "install/StemSpellings.h"

namespace {

constexpr char kClassFormat[] = "SOFTWARE\\Classes\\%s.%s";
constexpr char kClassCommandFormat[] = "SOFTWARE\\Classes\\%s.%s\\shell\\open\\command";
constexpr char kClassIconFormat[] = "SOFTWARE\\Classes\\%s.%s\\DefaultIcon";
constexpr char kProgIdFormat[] = "%s.%s";
constexpr char kDescriptionFormat[] = "%s %s File";
constexpr char kCapabilityNameFormat[] = ".%s";

void MapExtensionForUser(const char* ext, const char* progId) {
    char path[kMaxPath];
    if (!FormatKeyPath(path, kUserFileExtsFormat, kUserFileExtsKey, ext)) return;
    SetDefaultText(HKEY_CURRENT_USER, path, "");
    UniqueKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS ||
        !SetNamedText(key.Get(), kFileExtsProgIdValue, progId)) {
        NoteKeyWriteFailure(HKEY_CURRENT_USER, path);
    }
}

void MapExtensionForMachine(const char* ext, const char* progId) {
    char path[kMaxPath];
    if (FormatKeyPath(path, kMachineExtensionFormat, ext)) {
        SetDefaultText(HKEY_LOCAL_MACHINE, path, progId);
    }
}

void RenewUserChoice(const char* ext, const char* progId) {
    char path[kMaxPath];
    if (!FormatKeyPath(path, kUserChoiceFormat, kUserFileExtsKey, ext)) return;
    // A protected choice cannot be deleted or recreated; the take-over then
    // simply does not happen for this user.
    (void)::RegDeleteKeyA(HKEY_CURRENT_USER, path);
    UniqueKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) != ERROR_SUCCESS ||
        !SetNamedText(key.Get(), kUserChoiceProgIdValue, progId)) {
        NoteKeyWriteFailure(HKEY_CURRENT_USER, path);
    }
}

void AddCapability(HKEY capabilities, const char* stem, const char* progId) {
    char name[kMaxPath];
    std::snprintf(name, sizeof name, kCapabilityNameFormat, stem);
    if (!capabilities || !SetNamedText(capabilities, name, progId)) {
        NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kFileAssociationsKey);
    }
}

void FormatProgId(char* progId, const char* stem) {
    std::snprintf(progId, kMaxPath, kProgIdFormat, kProductWord, stem);
}

}  // namespace

void RegisterFileType(const char* ext, char* stem, const char* command, const char* icon,
                      int xpFamily, int vistaFamily, int assocAllUsers, int chosen,
                      HKEY capabilities) {
    char progId[kMaxPath];
    FormatProgId(progId, stem);

    if (xpFamily) {
        MapExtensionForUser(ext, progId);
        if (assocAllUsers) MapExtensionForMachine(ext, progId);
    } else if (!vistaFamily || chosen) {
        MapExtensionForMachine(ext, progId);
    }

    // The class key is named before the description capitalises the stem, so
    // a class created now keeps the stem's lower case.
    char path[kMaxPath];
    const bool classPathFits = FormatKeyPath(path, kClassFormat, kProductWord, stem);
    CapitaliseStem(stem);
    if (classPathFits) {
        char description[kMaxPath];
        std::snprintf(description, sizeof description, kDescriptionFormat, kProductWord, stem);
        SetDefaultText(HKEY_LOCAL_MACHINE, path, description);
    }
    if (FormatKeyPath(path, kClassCommandFormat, kProductWord, stem)) {
        SetDefaultText(HKEY_LOCAL_MACHINE, path, command);
    }
    if (FormatKeyPath(path, kClassIconFormat, kProductWord, stem)) {
        SetDefaultText(HKEY_LOCAL_MACHINE, path, icon);
    }

    if (vistaFamily) {
        FormatProgId(progId, stem);
        AddCapability(capabilities, stem, progId);
        if (chosen) RenewUserChoice(ext, progId);
    }
}
