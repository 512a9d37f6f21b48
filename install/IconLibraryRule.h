// The write rule of the icon-library plug-in (Glyphs.dll).
#pragma once

#include <windows.h>

// Extracts resource (id, type) to `path` unless the file already there is
// to be kept (see DecideIconLibraryAction). Returns 1 when the row counts as
// written: a kept file counts, an extraction counts only when it succeeds.
// `kept`, when given, tells whether the existing file was kept.
int IconLibraryVersionRule(const char* path, WORD id, LPCSTR type, bool* kept = nullptr);
