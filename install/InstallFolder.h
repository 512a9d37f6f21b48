// The install folder the setup proposes, and the folder of an earlier install.
#pragma once

// Writes the default install folder (program-files folder + "Tessolo", or
// "C:\Tessolo\" when that folder is unknown) into folder (260 bytes); returns 1.
int GetDefaultInstallFolder(char* folder);

// Writes the earlier installation's folder, ending in a backslash, and
// returns 1; returns 0 with an empty folder when there is none.
int FindPreviousInstallFolder(char* folder);

// A folder without drive or UNC root ("Apps\Tessolo", "\Apps\Tessolo") made
// absolute against the current directory, so that every path the install
// writes names the real folder; surrounding spaces are dropped first, as the
// install would drop them. An empty folder, one with a drive or UNC root and
// one whose full path would not fit a path buffer stay as they are.
void MakeInstallFolderAbsolute(char* folder);
