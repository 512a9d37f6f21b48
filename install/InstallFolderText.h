// The text side of the install-folder defaults (portable: no Windows API).
#pragma once

// The program-files folder, a backslash when it has none (an empty text has
// none), then "Tessolo", without a trailing backslash. Writes it into folder
// (kMaxPath bytes) and returns true; false, with folder untouched, when it
// would not fit a path buffer.
bool DefaultFolderFromProgramFiles(const char* programFiles, char* folder);

// The folder of the viewer named by an open command such as
// "C:\Programme\Tessolo\t_solo32.exe" "%1": the path runs from after an
// opening double quote up to the next double quote or the end, and its drive
// and directory, given a trailing backslash, go into folder (kMaxPath bytes).
// False, with folder untouched, when the folder has neither a drive nor a UNC
// root (it would name a folder below whatever the current directory is) or
// would not fit a path buffer.
bool FolderFromOpenCommand(const char* command, char* folder);

// True when path starts with a drive ("C:") or a UNC root (two slashes of
// either kind).
bool HasDriveOrUncRoot(const char* path);

// True when the folder lies below a current directory: "Apps" below the
// current directory, "\Apps" below the current drive's root, "C:Apps" below
// the current directory of drive C:. A drive with a slash ("C:\Apps"), a bare
// drive ("D:", its root once it has its backslash), a UNC root and the empty
// text need none.
bool NeedsCurrentDirectory(const char* path);
