#include "install/InstallRecord.h"

#include <windows.h>

#include "framework/Handles.h"
#include "install/InstalledNames.h"
#include "install/RegistryWrite.h"

void RecordInstallDecisions(const std::string& createdTop, bool iconLibraryKept) {
    UniqueKey key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS) {
        NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kUninstallKey);
        return;
    }
    bool written = SetNamedDword(key.Get(), kIconLibraryKeptValue, iconLibraryKept ? 1 : 0);
    // A reinstall into the folder the first install made creates nothing:
    // the first install's record still holds.
    if (!createdTop.empty()) written &= SetNamedText(key.Get(), kCreatedFolderValue, createdTop.c_str());
    if (!written) NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kUninstallKey);
}
