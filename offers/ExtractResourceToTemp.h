// Writing one of the setup's "DLL" resources into the temporary folder.
#pragma once

#include <windows.h>

// `outPath` (kMaxPath bytes) := temporary folder (ending in a backslash) +
// `fileName`; then writes resource ("DLL", id) there. 1 when the file was
// written, else 0 (also when the path would not fit).
int ExtractResourceToTemp(char* outPath, const char* fileName, WORD id);
