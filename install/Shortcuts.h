// Shell links of an installation: the Start-menu group and the desktop links.
#pragma once

#include "install/InstalledNames.h"

// The thumbnails links start the viewer in its thumbnail mode with its icon 7.
constexpr char kThumbnailsArgument[] = "/thumbs";
constexpr int kThumbnailsIconIndex = 7;

// The group's links by name, so that the uninstaller removes exactly these:
// the viewer's link ("%d.%2d" of the product version) and its thumbnails
// link, then plain links to files of the installation.
constexpr char kGroupLinkFormat[] = "Tessolo %d.%2d.lnk";
constexpr char kGroupThumbnailsLinkName[] = "Tessolo - Thumbnails.lnk";

struct GroupLink {
    const char* linkName;
    const char* fileInFolder;  // target, relative to the install folder
};

constexpr GroupLink kGroupFileLinks[] = {
    {"Tessolo deinstallieren.lnk", "ts_uninstall.exe"},
    {"Über Tessolo.lnk", "t_about.txt"},
    {"Was ist neu.lnk", "t_changes.txt"},
    {"Kommandozeilen-Optionen.lnk", "t_options.txt"},
    {"Verfügbare PlugIns.lnk", "t_plugins.txt"},
    {"Verfügbare Sprachen.lnk", "t_languages.txt"},
    {"Tessolo Hilfe.lnk", "help\\t_solo32d.chm"},
};

// Writes the path of the shell folder folderId (a CSIDL_ value), ending in a
// backslash, into a buffer of kMaxPath characters; the Windows folder when the
// shell cannot name it.
void GetSpecialFolderPath(char* buffer, int folderId);

// Saves folder + linkName (folder ending in a backslash) as a link to
// target. arguments and iconPath may be null. Returns 1 when saved, else 0
// (and the link path is noted in WriteFailures).
int CreateGroupShortcut(const char* folder, const char* linkName, const char* target,
                        const char* arguments, const char* iconPath, int iconIndex);

// Saves a link on the desktop of the current user, or of all users. iconPath,
// description and arguments may be null. Returns 1 when saved, else 0 (and
// the link path is noted in WriteFailures).
int CreateDesktopShortcut(const char* target, const char* linkName, const char* iconPath,
                          const char* description, const char* arguments, int iconIndex,
                          int allUsers);

// Creates the Tessolo group in the Start-menu programs folder with its ten
// links and removes the links of versions 4.28 and 4.27. installFolder ends in
// a backslash. Returns the result of the last link.
int CreateProgramGroup(const char* installFolder, int allUsers);
