// Making sure a folder exists.
#pragma once

#include <string>

// `path` is a kMaxPath buffer. On return it is trimmed and ends in a
// backslash; when levels had to be created it holds the path as rebuilt
// level by level. Returns 1 when the folder exists afterwards, else 0. The
// current directory is the same on return as on entry. When createdTop is
// given, it receives the highest level this call created (without its
// backslash), or stays as it is when every level existed.
int EnsureFolderExists(char* path, std::string* createdTop = nullptr);
