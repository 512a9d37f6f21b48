// Making sure a folder exists.
#pragma once

// `path` is a kMaxPath buffer. On return it is trimmed and ends in a
// backslash; when levels had to be created it holds the path as rebuilt
// level by level. Returns 1 when the folder exists afterwards, else 0. The
// current directory is the same on return as on entry.
int EnsureFolderExists(char* path);
