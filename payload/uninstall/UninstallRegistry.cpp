#include "payload/uninstall/UninstallRegistry.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/FileTypeCatalogue.h"
#include "app/Limits.h"
#include "app/ProductInfo.h"
#include "framework/Handles.h"
#include "install/PreviousOwners.h"
#include "install/RegistryKeys.h"

namespace {

constexpr char kClassesKey[] = "SOFTWARE\\Classes";
constexpr char kApplicationsKey[] = "SOFTWARE\\Classes\\Applications\\t_solo32.exe";
// The verbs' keys, and the keys above them that the setup may have created
// on the way (always there, and never empty, on a real system).
struct FolderVerb {
    const char* key;
    const char* parents[2];
};
constexpr FolderVerb kFolderVerbs[] = {
    {"SOFTWARE\\Classes\\Directory\\shell\\Browse with &Tessolo",
     {"SOFTWARE\\Classes\\Directory\\shell", "SOFTWARE\\Classes\\Directory"}},
    {"SOFTWARE\\Classes\\Drive\\shell\\Browse with &Tessolo",
     {"SOFTWARE\\Classes\\Drive\\shell", "SOFTWARE\\Classes\\Drive"}},
};
constexpr char kCommandSubkey[] = "\\shell\\open\\command";
constexpr char kVerbCommandSubkey[] = "\\command";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool SameText(const std::string& a, const std::string& b) {
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// A REG_SZ value; false when the key or value is missing or not text.
bool ReadText(HKEY root, const std::string& path, const char* name, std::string& text) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) {
        return false;
    }
    char buffer[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof buffer - 1;
    if (::RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    text = buffer;
    return true;
}

bool KeyExists(HKEY root, const std::string& path) {
    UniqueKey key;
    return ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// Deletes a key with all its subkeys (RegDeleteKey refuses a key with
// subkeys on NT). True when the key is gone afterwards.
bool DeleteTree(HKEY root, const std::string& path) {
    {
        UniqueKey key;
        if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | KEY_WRITE, key.Put()) !=
            ERROR_SUCCESS) {
            return !KeyExists(root, path);
        }
        // Always the first subkey: each one is gone before the next is asked for.
        char name[kMaxPath];
        for (;;) {
            DWORD size = sizeof name;
            if (::RegEnumKeyExA(key.Get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
                    ERROR_SUCCESS ||
                !DeleteTree(key.Get(), name)) {
                break;
            }
        }
    }
    (void)::RegDeleteKeyA(root, path.c_str());
    return !KeyExists(root, path);
}

// Deletes the key when it has no subkeys and exactly `values` values.
void DeleteWhenHolding(HKEY root, const std::string& path, DWORD values) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return;
    DWORD subkeysFound = 0;
    DWORD valuesFound = 0;
    if (::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeysFound, nullptr, nullptr,
                           &valuesFound, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        subkeysFound != 0 || valuesFound != values) {
        return;
    }
    key.Reset();
    (void)::RegDeleteKeyA(root, path.c_str());
}

// Deletes the key when it holds neither values nor subkeys.
void DeleteIfEmpty(HKEY root, const std::string& path) { DeleteWhenHolding(root, path, 0); }

// The XP family's mapping key is created with an empty default: once the
// mapping is gone and nothing else is in it, the key goes too.
void DeleteIfOnlyEmptyDefault(HKEY root, const std::string& path) {
    std::string text;
    if (ReadText(root, path, nullptr, text) && text.empty()) DeleteWhenHolding(root, path, 1);
}

std::string RootName(HKEY root) {
    return root == HKEY_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\";
}

// Deletes path when the open command under it (commandSubkey) is `command`.
void DeleteWhenCommandIs(HKEY root, const std::string& path, const char* commandSubkey,
                         const std::string& command, RemovalReport& report) {
    std::string found;
    if (!ReadText(root, path + commandSubkey, nullptr, found) || !SameText(found, command)) return;
    if (!DeleteTree(root, path)) report.failed.push_back(RootName(root) + path);
}

void DeleteValue(HKEY root, const std::string& path, const char* name, RemovalReport& report) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) return;
    const LONG result = ::RegDeleteValueA(key.Get(), name);
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
        report.failed.push_back(RootName(root) + path);
    }
}

void SetValue(HKEY root, const std::string& path, const char* name, const std::string& text,
              RemovalReport& report) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS ||
        ::RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS) {
        report.failed.push_back(RootName(root) + path);
    }
}

// One value place the setup may have taken over: when it still names one of
// our classes, the recorded owner gets it back, or else the value goes.
// Returns true when it named one of our classes.
bool GiveBack(HKEY root, const std::string& path, const char* name, HKEY recordRoot,
              const char* recordKey, const std::string& ext, RemovalReport& report) {
    std::string current;
    if (!ReadText(root, path, name, current) || !IsOwnProgId(current.c_str())) return false;
    std::string owner;
    if (ReadText(recordRoot, recordKey, ("." + ext).c_str(), owner)) {
        SetValue(root, path, name, owner, report);
    } else {
        DeleteValue(root, path, name, report);
    }
    return true;
}

bool GiveBackExtensions(RemovalReport& report) {
    bool changed = false;
    for (const FileTypeEntry& entry : FileTypeCatalogue) {
        for (int i = 0; i < entry.extensionCount; ++i) {
            const std::string ext = entry.extensions[i].extension;
            const std::string machine = std::string(kClassesKey) + "\\." + ext;
            if (GiveBack(HKEY_LOCAL_MACHINE, machine, nullptr, HKEY_LOCAL_MACHINE,
                         kMachineOwnersKey, ext, report)) {
                changed = true;
                DeleteIfEmpty(HKEY_LOCAL_MACHINE, machine);
            }

            const std::string user = std::string(kUserFileExtsKey) + "\\." + ext;
            if (GiveBack(HKEY_CURRENT_USER, user, kFileExtsProgIdValue, HKEY_CURRENT_USER,
                         kUserFileExtsOwnersKey, ext, report)) {
                changed = true;
                DeleteIfOnlyEmptyDefault(HKEY_CURRENT_USER, user);
            }

            const std::string choice = user + "\\UserChoice";
            std::string current;
            if (ReadText(HKEY_CURRENT_USER, choice, kUserChoiceProgIdValue, current) &&
                IsOwnProgId(current.c_str())) {
                changed = true;
                std::string owner;
                if (ReadText(HKEY_CURRENT_USER, kUserChoiceOwnersKey, ("." + ext).c_str(), owner)) {
                    SetValue(HKEY_CURRENT_USER, choice, kUserChoiceProgIdValue, owner, report);
                } else {
                    if (!DeleteTree(HKEY_CURRENT_USER, choice)) {
                        report.failed.push_back("HKCU\\" + choice);
                    }
                    DeleteIfEmpty(HKEY_CURRENT_USER, user);
                }
            }
        }
    }
    return changed;
}

// The Tessolo.* classes whose open command starts this installation's viewer.
void RemoveFileTypeClasses(const std::string& openCommand, RemovalReport& report) {
    UniqueKey classes;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClassesKey, 0, KEY_READ, classes.Put()) !=
        ERROR_SUCCESS) {
        return;
    }
    std::vector<std::string> ours;
    char name[kMaxPath];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        if (::RegEnumKeyExA(classes.Get(), index, name, &size, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS) {
            break;
        }
        if (IsOwnProgId(name)) ours.push_back(name);
    }
    classes.Reset();
    for (const std::string& progId : ours) {
        DeleteWhenCommandIs(HKEY_LOCAL_MACHINE, std::string(kClassesKey) + "\\" + progId,
                            kCommandSubkey, openCommand, report);
    }
}

}  // namespace

std::string ReadInstallLocation() {
    std::string location;
    (void)ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", location);
    return location;
}

bool RemoveRegistration(const std::string& folder, RemovalReport& report) {
    const std::string viewer = folder + kViewerExeName;
    const std::string openCommand = Quoted(viewer) + " \"%1\"";
    const std::string thumbnailCommand = Quoted(viewer) + " \"%1 /thumbs\"";

    // Owners first: the records say whom each extension goes back to.
    const bool associationsChanged = GiveBackExtensions(report);
    // Created by the first per-user mapping where the shell had none yet.
    DeleteIfEmpty(HKEY_CURRENT_USER, kUserFileExtsKey);
    if (!DeleteTree(HKEY_CURRENT_USER, kUserOwnersKey)) {
        report.failed.push_back(std::string("HKCU\\") + kUserOwnersKey);
    }
    // The viewer may keep its own settings there; only an empty key goes.
    DeleteIfEmpty(HKEY_CURRENT_USER, kUserSettingsKey);

    RemoveFileTypeClasses(openCommand, report);
    DeleteWhenCommandIs(HKEY_LOCAL_MACHINE, kViewerClassKey, kCommandSubkey, openCommand, report);
    DeleteWhenCommandIs(HKEY_LOCAL_MACHINE, kApplicationsKey, kCommandSubkey, openCommand, report);
    for (const FolderVerb& verb : kFolderVerbs) {
        DeleteWhenCommandIs(HKEY_LOCAL_MACHINE, verb.key, kVerbCommandSubkey, thumbnailCommand,
                            report);
        for (const char* parent : verb.parents) DeleteIfEmpty(HKEY_LOCAL_MACHINE, parent);
    }

    std::string registered;
    if (ReadText(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kProductWord, registered) &&
        SameText(registered, kCapabilitiesKey)) {
        DeleteValue(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kProductWord, report);
    }
    DeleteWhenCommandIs(HKEY_LOCAL_MACHINE, kApplicationKey, kCommandSubkey, Quoted(viewer),
                        report);

    // Last, and only when everything else went: otherwise the entry stays, so
    // that the uninstall can be run again once the rest can be removed.
    if (report.failed.empty() && !DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey)) {
        report.failed.push_back(std::string("HKLM\\") + kUninstallKey);
    }
    return associationsChanged;
}
