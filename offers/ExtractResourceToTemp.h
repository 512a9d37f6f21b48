// Writing one of the setup's "DLL" resources into the temporary folder, held
// there for loading.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

// `outPath` (kMaxPath bytes) := temporary folder (ending in a backslash) +
// `fileName`; then writes resource ("DLL", id) there as a new file and holds
// it (download/HeldFile.h). The hold, once the file held is the resource's
// bytes exactly; invalid when the path would not fit, the name cannot be
// freed, or the file could not be written, held or matched (nothing stays
// behind then that can be deleted).
UniqueFile ExtractResourceToTemp(char* outPath, const char* fileName, WORD id);
