// The file side of an uninstall: the installed files, their folders and the
// shell links the setup wrote. Nothing behind a junction or symbolic link is
// touched: it may lead anywhere, so such a folder or file counts as kept.
#pragma once

#include <string>

#include "uninstall/RemovalReport.h"

// Deletes the payload files (all but the running uninstaller) and the
// settings file from folder (ending in a backslash), then each subfolder that
// is empty. An icon library the setup found and kept stays: the entry's
// record says so, or, where the entry names another installation (ownEntry
// false), the setup's own rule applied to the file found. The install
// folder itself is left to the self-removal.
void RemoveInstalledFiles(const std::string& folder, bool ownEntry, RemovalReport& report);

// Deletes, in the current user's and the all-users Start menu, the links the
// setup writes into the group where each still leads to the file the setup
// pointed it at, then the group folder when empty; on both desktops the
// viewer's two links the same way.
void RemoveShortcuts(const std::string& folder, RemovalReport& report);

// True when folder holds nothing but the uninstaller.
bool OnlyUninstallerLeft(const std::string& folder);

// The highest folder level the install created on its way to the install
// folder, as the install recorded it; empty when it created none.
std::string ReadCreatedFolder();
