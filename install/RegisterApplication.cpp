#include "install/RegisterApplication.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "framework/Handles.h"
#include "install/FileTypeRegistration.h"
#include "install/OsFamilyQuery.h"
#include "install/PathText.h"
#include "install/PreviousOwners.h"
#include "install/InstalledNames.h"
#include "install/RegistryWrite.h"
#include "install/Shortcuts.h"
#include "install/StemSpellings.h"

namespace {

constexpr char kDesktopLinkDescription[] = "Tessolo - Bildbetrachter";
constexpr char kThumbnailsLinkDescription[] = "Tessolo - Thumbnails";

constexpr char kFolderVerb[] = "Browse with &Tessolo";
constexpr char kDirectoryVerbFormat[] = "SOFTWARE\\Classes\\Directory\\shell\\%s";
constexpr char kDirectoryVerbCommandFormat[] = "SOFTWARE\\Classes\\Directory\\shell\\%s\\command";
constexpr char kDriveVerbFormat[] = "SOFTWARE\\Classes\\Drive\\shell\\%s";
constexpr char kDriveVerbCommandFormat[] = "SOFTWARE\\Classes\\Drive\\shell\\%s\\command";

constexpr char kViewerClassCommandKey[] = "SOFTWARE\\Classes\\Tessolo\\shell\\open\\command";
constexpr char kViewerClassIconKey[] = "SOFTWARE\\Classes\\Tessolo\\DefaultIcon";
constexpr char kApplicationsCommandKey[] = "Applications\\t_solo32.exe\\shell\\open\\command";

constexpr char kUninstallDisplayName[] = "Tessolo (remove only)";
constexpr char kVersionFormat[] = "%d.%d";
constexpr DWORD kEstimatedSizeKilobytes = 1536;

constexpr char kApplicationCommandKey[] = "SOFTWARE\\Tessolo\\shell\\open\\command";
constexpr char kApplicationDescription[] =
    "Picture viewer, editor and converter - one of the most popular viewers worldwide";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void CreateKey(HKEY root, const char* path) {
    UniqueKey key;
    if (::RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                          key.Put(), nullptr) != ERROR_SUCCESS) {
        NoteKeyWriteFailure(root, path);
    }
}

// The verb's key is named by its display text, ampersand and blanks included.
void WriteFolderVerb(const char* keyFormat, const char* commandFormat,
                     const std::string& thumbnailCommand) {
    char path[kMaxPath];
    if (FormatKeyPath(path, keyFormat, kFolderVerb)) {
        SetDefaultText(HKEY_LOCAL_MACHINE, path, kFolderVerb);
    }
    if (FormatKeyPath(path, commandFormat, kFolderVerb)) {
        SetDefaultText(HKEY_LOCAL_MACHINE, path, thumbnailCommand.c_str());
    }
}

void WriteUninstallEntry(const std::string& folder) {
    SetDefaultText(HKEY_LOCAL_MACHINE, kUninstallKey, "");
    UniqueKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, key.Put()) !=
        ERROR_SUCCESS) {
        NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kUninstallKey);
        return;
    }
    // Quoted: an unquoted path with blanks could start another program
    // (C:\Program.exe for C:\Program Files\...).
    const std::string uninstaller = Quoted(folder + kUninstallExeName);
    char version[16];
    std::snprintf(version, sizeof version, kVersionFormat, kProductMajor, kProductMinor);

    // Every value is attempted; the key is named once however many fail.
    bool written = SetNamedText(key.Get(), "DisplayName", kUninstallDisplayName);
    written &= SetNamedText(key.Get(), "UninstallString", uninstaller.c_str());
    written &= SetNamedText(key.Get(), "Publisher", kPublisher);
    written &= SetNamedText(key.Get(), "InstallLocation", folder.c_str());
    written &= SetNamedText(key.Get(), "DisplayVersion", version);
    written &= SetNamedDword(key.Get(), "VersionMajor", kProductMajor);
    written &= SetNamedDword(key.Get(), "VersionMinor", kProductMinor);
    written &= SetNamedDword(key.Get(), "EstimatedSize", kEstimatedSizeKilobytes);
    if (!written) NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kUninstallKey);
}

// The Default-Programs registration of the Vista family; the file-type pass
// adds one FileAssociations value per stem afterwards.
void WriteCapabilities(const std::string& viewer) {
    CreateKey(HKEY_LOCAL_MACHINE, kApplicationKey);
    SetDefaultText(HKEY_LOCAL_MACHINE, kApplicationCommandKey, Quoted(viewer).c_str());
    {
        UniqueKey capabilities;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCapabilitiesKey, 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, capabilities.Put(),
                              nullptr) != ERROR_SUCCESS ||
            !SetNamedText(capabilities.Get(), "ApplicationDescription", kApplicationDescription)) {
            NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kCapabilitiesKey);
        }
    }
    CreateKey(HKEY_LOCAL_MACHINE, kFileAssociationsKey);
    // A system without the list (a fresh Wine prefix) is left without it;
    // a list that exists but takes no value is a failed write.
    UniqueKey registered;
    const LONG opened = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, 0,
                                        KEY_SET_VALUE, registered.Put());
    if (opened == ERROR_FILE_NOT_FOUND) return;
    if (opened != ERROR_SUCCESS || !SetNamedText(registered.Get(), kProductWord, kCapabilitiesKey)) {
        NoteKeyWriteFailure(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey);
    }
}

std::string IconText(FileTypeIcon icon, const std::string& viewer) {
    if (icon == FileTypeIcon::OwnIcon) return FileTypeIconSuffix(icon);
    return viewer + FileTypeIconSuffix(icon);
}

// Every row on the Vista family (the unchosen ones get their class and
// capability but are not taken over); only the chosen rows elsewhere. Without
// the user's confirmation no row counts as chosen, so nothing is taken over.
void RegisterFileTypes(OsFamily family, const std::string& openCommand, const std::string& viewer,
                       const int (&fileTypeSelection)[FileTypeCount], int assocAllUsers,
                       int confirmation) {
    const int xpFamily = family == OsFamily::XpFamily;
    const int vistaFamily = family == OsFamily::VistaFamily;
    // Opened once for the pass: every registered stem adds its value.
    UniqueKey capabilities;
    if (vistaFamily && ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFileAssociationsKey, 0, KEY_SET_VALUE,
                                       capabilities.Put()) != ERROR_SUCCESS) {
        (void)capabilities.Release();  // not a handle: nothing to close
    }
    StemSpellings stems;
    for (int row = 0; row < FileTypeCount; ++row) {
        const int chosen = confirmation && fileTypeSelection[row] != 0;
        if (!vistaFamily && !chosen) continue;
        const FileTypeEntry& entry = FileTypeCatalogue[row];
        const std::string icon = IconText(entry.icon, viewer);
        for (int i = 0; i < entry.extensionCount; ++i) {
            char* stem = stems.For(entry.extensions[i].stem);
            if (!stem) continue;
            RegisterFileType(entry.extensions[i].extension, stem, openCommand.c_str(),
                             icon.c_str(), xpFamily, vistaFamily, assocAllUsers, chosen,
                             capabilities.Get());
        }
    }
}

}  // namespace

int RegisterApplication(int confirmation, int associateFiles, const char* installFolder,
                        int startMenuShortcut, int desktopShortcut, int thumbnailsShortcut,
                        int allUsersShortcuts, const int (&fileTypeSelection)[FileTypeCount],
                        int assocAllUsers) {
    const OsFamily family = QueryOsFamily();

    char folderText[kMaxPath] = {};
    std::strncpy(folderText, installFolder, kMaxPath - 1);
    TrimPathSpaces(folderText);
    AppendBackslash(folderText);
    const std::string folder = folderText;
    const std::string viewer = folder + kViewerExeName;
    const std::string openCommand = Quoted(viewer) + " \"%1\"";
    // The shell puts the folder or drive in place of %1, inside the quotes
    // together with the switch.
    const std::string thumbnailCommand = Quoted(viewer) + " \"%1 /thumbs\"";

    {
        // One COM start-up for all the links: each link's own then only
        // counts up and down instead of starting and tearing down COM.
        ComScope com;
        if (startMenuShortcut) (void)CreateProgramGroup(folderText, allUsersShortcuts);
        if (desktopShortcut) {
            (void)CreateDesktopShortcut(viewer.c_str(), kDesktopLinkName, nullptr,
                                        kDesktopLinkDescription, nullptr, 0, allUsersShortcuts);
        }
        if (thumbnailsShortcut) {
            (void)CreateDesktopShortcut(viewer.c_str(), kThumbnailsLinkName, viewer.c_str(),
                                        kThumbnailsLinkDescription, kThumbnailsArgument,
                                        kThumbnailsIconIndex, allUsersShortcuts);
        }
    }
    if (thumbnailsShortcut && family == OsFamily::VistaFamily) {
        WriteFolderVerb(kDirectoryVerbFormat, kDirectoryVerbCommandFormat, thumbnailCommand);
        WriteFolderVerb(kDriveVerbFormat, kDriveVerbCommandFormat, thumbnailCommand);
    }

    SetDefaultText(HKEY_LOCAL_MACHINE, kViewerClassKey, kProductWord);
    SetDefaultText(HKEY_LOCAL_MACHINE, kViewerClassCommandKey, openCommand.c_str());
    // An icon key left by an older version would hide the viewer's own icon;
    // one that has subkeys stays (the key is not deleted recursively).
    DeleteKeyWithoutSubkeys(HKEY_LOCAL_MACHINE, kViewerClassIconKey);
    SetDefaultText(HKEY_CLASSES_ROOT, kApplicationsCommandKey, openCommand.c_str());

    WriteUninstallEntry(folder);
    if (family == OsFamily::VistaFamily) WriteCapabilities(viewer);

    // The Vista family registers every class even without the take-over, so
    // that Default Programs can offer the viewer; a "Nein" to the question
    // keeps the user's own associations there too, and the shell has nothing
    // to be told.
    if (confirmation || family == OsFamily::VistaFamily) {
        // Whom each extension taken over belonged to, so that the
        // uninstaller can give it back; without confirmation none is taken.
        if (confirmation) RecordPreviousOwners(family, fileTypeSelection, assocAllUsers);
        RegisterFileTypes(family, openCommand, viewer, fileTypeSelection, assocAllUsers,
                          confirmation);
        if (associateFiles && confirmation) {
            // Wine answers FALSE here; the shell notification below still goes out.
            (void)::SystemParametersInfoA(SPI_SETICONS, 0, nullptr,
                                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
            ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr);
        }
    }
    return 1;
}
