#include "uninstall/UninstallRegistry.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "install/FileTypeCatalogue.h"
#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "framework/Handles.h"
#include "install/PreviousOwners.h"
#include "install/InstalledNames.h"

namespace {

constexpr char kClassesKey[] = "SOFTWARE\\Classes";
// The same path under HKLM and HKCU.
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

constexpr DWORD kTextLimit = 1024;

enum class Read { Text, Absent, Failed };

// A REG_SZ value. Absent: the key or value is missing, or holds no text or
// more than any value of ours; Failed: it is there but cannot be read.
Read ReadValue(HKEY root, const std::string& path, const char* name, std::string& text) {
    UniqueKey key;
    const LONG opened = ::RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Put());
    if (opened != ERROR_SUCCESS) {
        return opened == ERROR_FILE_NOT_FOUND ? Read::Absent : Read::Failed;
    }
    char buffer[kTextLimit] = {};
    DWORD type = 0;
    DWORD size = sizeof buffer - 1;
    const LONG queried = ::RegQueryValueExA(key.Get(), name, nullptr, &type,
                                            reinterpret_cast<BYTE*>(buffer), &size);
    if (queried == ERROR_FILE_NOT_FOUND || queried == ERROR_MORE_DATA) return Read::Absent;
    if (queried != ERROR_SUCCESS) return Read::Failed;
    if (type != REG_SZ) return Read::Absent;
    text = buffer;
    return Read::Text;
}

// A REG_SZ value; false when it is missing, not text or cannot be read.
bool ReadText(HKEY root, const std::string& path, const char* name, std::string& text) {
    return ReadValue(root, path, name, text) == Read::Text;
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

// Deletes path when the open command under it (commandSubkey) is `command`;
// a command that cannot be read may be ours and counts as a failure.
void DeleteWhenCommandIs(HKEY root, const std::string& path, const char* commandSubkey,
                         const std::string& command, RemovalReport& report) {
    std::string found;
    const Read read = ReadValue(root, path + commandSubkey, nullptr, found);
    if (read == Read::Failed) report.failed.push_back(RootName(root) + path);
    if (read != Read::Text || !SameText(found, command)) return;
    if (!DeleteTree(root, path)) report.failed.push_back(RootName(root) + path);
}

// False (and reported) when the value is still there afterwards.
bool DeleteValue(HKEY root, const std::string& path, const char* name, RemovalReport& report) {
    UniqueKey key;
    LONG result = ::RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, key.Put());
    if (result == ERROR_SUCCESS) result = ::RegDeleteValueA(key.Get(), name);
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return true;
    report.failed.push_back(RootName(root) + path);
    return false;
}

bool SetValue(HKEY root, const std::string& path, const char* name, const std::string& text,
              RemovalReport& report) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS ||
        ::RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS) {
        report.failed.push_back(RootName(root) + path);
        return false;
    }
    return true;
}

enum class Place { NotOurs, GivenBack, Failed };

// Where one extension was taken over, and where its owner is recorded.
struct TakenPlace {
    HKEY root;
    std::string path;
    const char* name;
    HKEY recordRoot;
    const char* recordKey;
};

// One value place the setup may have taken over: when it still names one of
// our classes, the recorded owner gets it back, or else the value goes. A
// place that stays ours adds its class to stillNamed.
Place GiveBack(const TakenPlace& place, const std::string& ext,
               std::vector<std::string>& stillNamed, RemovalReport& report) {
    std::string current;
    const Read read = ReadValue(place.root, place.path, place.name, current);
    if (read == Read::Failed) {
        report.failed.push_back(RootName(place.root) + place.path);
        return Place::Failed;
    }
    if (read == Read::Absent || !IsOwnProgId(current.c_str())) return Place::NotOurs;
    std::string owner;
    const Read record = ReadValue(place.recordRoot, place.recordKey, ("." + ext).c_str(), owner);
    bool done = false;
    if (record == Read::Failed) {
        // Without the record the owner would be lost: the value stays ours.
        report.failed.push_back(RootName(place.recordRoot) + place.recordKey);
    } else if (record == Read::Text) {
        done = SetValue(place.root, place.path, place.name, owner, report);
    } else {
        done = DeleteValue(place.root, place.path, place.name, report);
    }
    if (done) return Place::GivenBack;
    stillNamed.push_back(current);
    return Place::Failed;
}

// Once its place is no longer ours, an extension's record has served.
void DeleteRecord(HKEY recordRoot, const char* recordKey, const std::string& ext,
                  RemovalReport& report) {
    std::string unused;
    if (ReadValue(recordRoot, recordKey, ("." + ext).c_str(), unused) == Read::Absent) return;
    (void)DeleteValue(recordRoot, recordKey, ("." + ext).c_str(), report);
}

// The empty default the XP family's mapping added to a FileExts key that
// had none goes with the mapping.
void RemoveAddedDefault(const std::string& user, const std::string& ext, RemovalReport& report) {
    std::string unused;
    if (ReadValue(HKEY_CURRENT_USER, kUserFileExtsAddedDefaultsKey, ("." + ext).c_str(), unused) ==
        Read::Absent) {
        return;
    }
    std::string added;
    if (ReadText(HKEY_CURRENT_USER, user, nullptr, added) && added.empty() &&
        !DeleteValue(HKEY_CURRENT_USER, user, nullptr, report)) {
        return;
    }
    (void)DeleteValue(HKEY_CURRENT_USER, kUserFileExtsAddedDefaultsKey, ("." + ext).c_str(),
                      report);
}

// Gives every extension back; stillNamed collects the classes that places
// which could not be given back still name. Returns true when an
// association was changed.
bool GiveBackExtensions(std::vector<std::string>& stillNamed, RemovalReport& report) {
    bool changed = false;
    for (const FileTypeEntry& entry : FileTypeCatalogue) {
        for (int i = 0; i < entry.extensionCount; ++i) {
            const std::string ext = entry.extensions[i].extension;
            const std::string machine = std::string(kClassesKey) + "\\." + ext;
            const Place machinePlace = GiveBack(
                {HKEY_LOCAL_MACHINE, machine, nullptr, HKEY_LOCAL_MACHINE, kMachineOwnersKey}, ext,
                stillNamed, report);
            if (machinePlace == Place::GivenBack) {
                changed = true;
                DeleteIfEmpty(HKEY_LOCAL_MACHINE, machine);
            }
            // The machine records go with the uninstall entry, once all is given back.

            const std::string user = std::string(kUserFileExtsKey) + "\\." + ext;
            const Place userPlace =
                GiveBack({HKEY_CURRENT_USER, user, kFileExtsProgIdValue, HKEY_CURRENT_USER,
                          kUserFileExtsOwnersKey},
                         ext, stillNamed, report);
            if (userPlace == Place::GivenBack) changed = true;
            if (userPlace != Place::Failed) {
                DeleteRecord(HKEY_CURRENT_USER, kUserFileExtsOwnersKey, ext, report);
                RemoveAddedDefault(user, ext, report);
                DeleteIfOnlyEmptyDefault(HKEY_CURRENT_USER, user);
                DeleteIfEmpty(HKEY_CURRENT_USER, user);
            }

            const std::string choice = user + "\\UserChoice";
            std::string current;
            const Read read = ReadValue(HKEY_CURRENT_USER, choice, kUserChoiceProgIdValue, current);
            bool choiceDone = read != Read::Failed;
            if (read == Read::Failed) report.failed.push_back("HKCU\\" + choice);
            if (read == Read::Text && IsOwnProgId(current.c_str())) {
                changed = true;
                std::string owner;
                const Read record =
                    ReadValue(HKEY_CURRENT_USER, kUserChoiceOwnersKey, ("." + ext).c_str(), owner);
                if (record == Read::Failed) {
                    report.failed.push_back(std::string("HKCU\\") + kUserChoiceOwnersKey);
                    choiceDone = false;
                } else if (record == Read::Text) {
                    choiceDone = SetValue(HKEY_CURRENT_USER, choice, kUserChoiceProgIdValue, owner,
                                          report);
                } else {
                    choiceDone = DeleteTree(HKEY_CURRENT_USER, choice);
                    if (!choiceDone) report.failed.push_back("HKCU\\" + choice);
                    DeleteIfEmpty(HKEY_CURRENT_USER, user);
                }
                if (!choiceDone) stillNamed.push_back(current);
            }
            if (choiceDone) DeleteRecord(HKEY_CURRENT_USER, kUserChoiceOwnersKey, ext, report);
        }
    }
    return changed;
}

// The Tessolo.* classes whose open command starts this installation's
// viewer, but for those an extension still names.
void RemoveFileTypeClasses(const std::string& openCommand,
                           const std::vector<std::string>& stillNamed, RemovalReport& report) {
    UniqueKey classes;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClassesKey, 0, KEY_READ, classes.Put()) !=
        ERROR_SUCCESS) {
        report.failed.push_back(std::string("HKLM\\") + kClassesKey);
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
        bool needed = false;
        for (const std::string& named : stillNamed) needed = needed || SameText(named, progId);
        if (needed) continue;
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

    // Owners first: the records say whom each extension goes back to, and
    // each record goes only once its extension is given back, so that a
    // rerun can still give back the rest.
    std::vector<std::string> stillNamed;
    const bool associationsChanged = GiveBackExtensions(stillNamed, report);
    // Created by the first per-user mapping where the shell had none yet.
    DeleteIfEmpty(HKEY_CURRENT_USER, kUserFileExtsKey);
    for (const char* records : {kUserFileExtsOwnersKey, kUserChoiceOwnersKey,
                                kUserFileExtsAddedDefaultsKey, kUserOwnersKey}) {
        DeleteIfEmpty(HKEY_CURRENT_USER, records);
    }
    // The viewer may keep its own settings there; only an empty key goes.
    DeleteIfEmpty(HKEY_CURRENT_USER, kUserSettingsKey);

    RemoveFileTypeClasses(openCommand, stillNamed, report);
    DeleteWhenCommandIs(HKEY_LOCAL_MACHINE, kViewerClassKey, kCommandSubkey, openCommand, report);
    // Written through HKEY_CLASSES_ROOT: on the NT family it lands in the
    // user's classes where the key was there already.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        DeleteWhenCommandIs(root, kApplicationsKey, kCommandSubkey, openCommand, report);
    }
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
