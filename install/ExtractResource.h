// Writing one of the setup's own resources to a file.
#pragma once

#include <windows.h>

// The bytes of resource (id, type) of the setup's module; false without one.
bool LoadResourceBytes(WORD id, LPCSTR type, const void*& bytes, DWORD& size);

// Writes resource (id, type) of the setup's module byte for byte to `path`
// (a string type such as "DLL", or MAKEINTRESOURCE(23) for HTML). Returns 1
// when the file is in place, 0 otherwise. The bytes first go to a complete
// temporary copy beside the target, which then replaces it; until then an
// existing file stays as it was. A target that another program holds open
// with write sharing (a scanner, an indexer) cannot be replaced: once the
// complete copy exists, the same bytes are written into it in place. One held
// without write sharing (a running viewer's exe) stays as it was: 0. The
// temporary copy never stays behind.
int ExtractResourceToFile(const char* path, WORD id, LPCSTR type);

// Deletes from `folder` (ending in a backslash) the temporary copies that a
// run ended before its rename (killed, or the machine off) left there: files
// named exactly as ExtractResourceToFile names them, that nobody holds open.
void RemoveLeftoverCopies(const char* folder);

// The rename that puts the complete copy in place of the target. Windows 9x
// has it but answers ERROR_CALL_NOT_IMPLEMENTED; tests put in that answer.
extern BOOL(WINAPI* MoveFileExForReplace)(LPCSTR from, LPCSTR to, DWORD flags);
