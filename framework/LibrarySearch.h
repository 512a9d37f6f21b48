// Where a library named without a path is looked for: the system folder
// only, not the program's folder, the current directory or PATH. The setup
// and the uninstaller run elevated from folders others can write to (the
// user's downloads, the temporary folder).
#pragma once

// First thing in a program, before any library is loaded by name.
void LoadLibrariesFromSystemFolderOnly();
