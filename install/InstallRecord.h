// What an install leaves beside its uninstall entry for the uninstaller: the
// decisions that the file system no longer shows once the install is done.
#pragma once

#include <string>

// The highest folder level the install created on the way to the install
// folder (no trailing backslash); the levels from there down are ours. A later
// install that creates nothing keeps it.
constexpr char kCreatedFolderValue[] = "CreatedFolder";
// 1 when the setup kept the icon library it found (not ours, or newer).
constexpr char kIconLibraryKeptValue[] = "IconLibraryKept";

// Writes both under the uninstall entry; createdTop empty: nothing was created.
void RecordInstallDecisions(const std::string& createdTop, bool iconLibraryKept);
