// Small queries of the system and of files that install decisions rest on.
#pragma once

#include <windows.h>

// True when the version query reports the Windows 9x platform.
bool IsWindows9x();

// Writes the file's version text ("%d.%d%d", see VersionRule.h) into
// `versionText` (kVersionTextSize bytes) and, when `companyName` (kMaxPath
// bytes) is given, the CompanyName of the 040904E4 string block (empty when
// that block has none). Returns 1, or -1 without touching either buffer
// when the file has no readable version resource.
int ReadFileVersion(const char* path, char* versionText, char* companyName);

// The file's size in bytes; 0 for an empty path or a file that cannot be
// opened for reading.
int FileSizeOf(const char* path);

// Reads a string value into `buffer` (*size bytes, cleared first) and sets
// *size to the bytes stored. Returns 1 when the value was read and ends in a
// zero within the buffer, else 0 with the buffer cleared.
int ReadRegistryString(HKEY root, const char* subkey, const char* valueName, char* buffer,
                       DWORD* size);
