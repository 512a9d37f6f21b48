// The shell's folder browser for the install folder.
#pragma once

#include <windows.h>

// Shows the folder browser owned by `owner`, starting at the folder in `path`
// (260 bytes). Returns 1 with the chosen folder, ending in a backslash, in
// `path`; 0 when cancelled or when the choice has no file-system path (the
// buffer's contents are then not to be used).
int BrowseForInstallFolder(HWND owner, char* path);

// The browser's callback: selects the start path (the caller's data) once the
// browser is ready. Always 0.
int CALLBACK BrowseFolderCallback(HWND browser, UINT message, LPARAM parameter, LPARAM data);
