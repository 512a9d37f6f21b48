// Rebuilding a folder path level by level (portable: the directory creation
// is handed in).
#pragma once

#include <functional>

// Walks `path` (already trimmed and ending in a backslash) and rebuilds it
// into `rebuilt` (kMaxPath bytes): at every backslash the text so far loses
// its trailing spaces, is handed to createLevel, and gets its backslash back.
// A network path keeps its leading double backslash and a rooted path its
// single one; the rebuilt text is never longer than `path`.
void RebuildFolderLevels(const char* path, char* rebuilt,
                         const std::function<void(const char* level)>& createLevel);

// True for the levels no folder creation makes: a drive ("C:") and a network
// server or share ("\\server", "\\server\share").
bool IsDriveOrShareLevel(const char* level);
