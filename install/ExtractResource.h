// Writing one of the setup's own resources to a file.
#pragma once

#include <windows.h>

// Writes resource (id, type) of the setup's module byte for byte to `path`
// (a string type such as "DLL", or MAKEINTRESOURCE(23) for HTML). Returns 1
// when the file is in place, 0 otherwise. An existing file is replaced only
// once every new byte is written; until then it stays as it was. A file
// held open elsewhere (a running viewer's exe) is not replaced: 0.
int ExtractResourceToFile(const char* path, WORD id, LPCSTR type);
