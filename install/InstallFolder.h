// The install folder the setup proposes, and the folder of an earlier install.
#pragma once

// Writes the default install folder (program-files folder + "Tessolo", or
// "C:\Tessolo\" when that folder is unknown) into folder (260 bytes); returns 1.
int GetDefaultInstallFolder(char* folder);

// Writes the earlier installation's folder, ending in a backslash, and
// returns 1; returns 0 with an empty folder when there is none.
int FindPreviousInstallFolder(char* folder);

// A folder below a current directory ("Apps\Tessolo", "\Apps\Tessolo",
// "C:Apps\Tessolo") made absolute, so that every path the install writes
// names the real folder; surrounding spaces are dropped first, as the install
// would drop them. An empty folder, one with a drive and a slash or a UNC
// root, a bare drive ("D:", its root) and one whose full path would not fit a
// path buffer stay as they are.
void MakeInstallFolderAbsolute(char* folder);
