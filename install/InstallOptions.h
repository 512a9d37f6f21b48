// The choices of one installation, in the order the install driver takes them.
#pragma once

#include "install/FileTypeCatalogue.h"
#include "product/Limits.h"

struct InstallOptions {
    char installFolder[kMaxPath] = {};
    int startMenuShortcut = 0;
    int desktopShortcut = 0;
    int thumbnailsShortcut = 0;
    int allUsersShortcuts = 0;
    char iniFolder[kMaxPath] = {};
    int fileTypeSelection[FileTypeCount] = {};
    int assocAllUsers = 0;
    int associateFiles = 0;
    int silent = 0;
    int installToolbar = 0;
    int installBrowser = 0;
    int browserAsDefault = 0;
};
