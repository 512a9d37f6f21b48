// The owners of file extensions before the file-type pass took them over, so
// that the uninstaller can give each extension back.
#pragma once

#include "install/FileTypeCatalogue.h"
#include "install/OsFamily.h"
#include "install/InstalledNames.h"

// Machine-wide owners (extension defaults under SOFTWARE\Classes) are kept
// beside the uninstall entry, so that they go when the entry goes.
constexpr char kMachineOwnersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessolo\\PreviousOwners";
// Per-user owners: the FileExts ProgID (XP family) and the UserChoice Progid
// (Vista family) of the user who installed.
constexpr char kUserSettingsKey[] = "Software\\Tessolo";
constexpr char kUserOwnersKey[] = "Software\\Tessolo\\PreviousOwners";
constexpr char kUserFileExtsOwnersKey[] = "Software\\Tessolo\\PreviousOwners\\FileExts";
constexpr char kUserChoiceOwnersKey[] = "Software\\Tessolo\\PreviousOwners\\UserChoice";
// The XP family's FileExts keys that had no default before the mapping
// added its empty one, one value ".ext" each.
constexpr char kUserFileExtsAddedDefaultsKey[] =
    "Software\\Tessolo\\PreviousOwners\\FileExtsWithoutDefault";

// True when progId names one of the viewer's classes ("Tessolo." and a stem,
// in any letter case).
bool IsOwnProgId(const char* progId);

// Before the file-type pass: for every extension the pass is about to take
// over in the way of the family, records the value it replaces when that
// value names another program. A record already there for the same value
// place is replaced only by another program's name, never by ours. On the
// XP family it also notes each FileExts key that has no default yet.
void RecordPreviousOwners(OsFamily family, const int (&fileTypeSelection)[FileTypeCount],
                          int assocAllUsers);
