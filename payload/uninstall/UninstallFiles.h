// The file side of an uninstall: the installed files, their folders and the
// shell links that lead into the install folder.
#pragma once

#include <string>

#include "payload/uninstall/RemovalReport.h"

// Deletes the payload files (all but the running uninstaller) and the
// settings file from folder (ending in a backslash), then each subfolder that
// is empty. The install folder itself is left to the self-removal.
void RemoveInstalledFiles(const std::string& folder, RemovalReport& report);

// Deletes, in the current user's and the all-users Start menu, the group's
// links whose target lies in folder, then the group folder when empty; on
// both desktops the viewer's two links when their target lies in folder.
void RemoveShortcuts(const std::string& folder, RemovalReport& report);

// True when folder holds nothing but the uninstaller.
bool OnlyUninstallerLeft(const std::string& folder);
