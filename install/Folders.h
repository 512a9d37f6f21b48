// Making sure a folder exists.
#pragma once

#include <functional>

// Told the highest level a folder creation is about to make (without its
// backslash), once, before that level is made.
using BeforeCreatingLevels = std::function<void(const char* top)>;

// `path` is a kMaxPath buffer. On return it is trimmed and ends in a
// backslash; when levels had to be created it holds the path as rebuilt
// level by level. Returns 1 when the folder exists afterwards, else 0. The
// current directory is the same on return as on entry. beforeCreating, when
// given, hears of the first missing level before anything is created.
int EnsureFolderExists(char* path, const BeforeCreatingLevels& beforeCreating = nullptr);
