// Everything an installation registers with the shell besides its files.
#pragma once

#include "install/FileTypeCatalogue.h"

// Creates the chosen shortcuts, the viewer's class, its "Applications" entry
// and its uninstall entry; on the Vista family its Default-Programs
// capabilities and, with the thumbnails shortcut, the folder and drive verbs;
// then runs the file-type pass. confirmation is the answer to the take-over
// question (set without asking in a silent install or when no type is
// chosen). installFolder is taken as the driver got it. Always returns 1:
// nothing here is rolled back, and every write is attempted; a link or key
// that could not be written is noted (WriteFailures).
int RegisterApplication(int confirmation, int associateFiles, const char* installFolder,
                        int startMenuShortcut, int desktopShortcut, int thumbnailsShortcut,
                        int allUsersShortcuts, const int (&fileTypeSelection)[FileTypeCount],
                        int assocAllUsers);
