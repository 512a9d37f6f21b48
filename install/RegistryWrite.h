// Small registry writes shared by the registration steps. The registration
// goes on whatever a single write does; a failed write is noted (WriteFailures)
// with the key it was meant for.
#pragma once

#include <windows.h>

// printf-style key path into a kMaxPath buffer; false when it does not fit.
bool FormatKeyPath(char* path, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Notes root\path as a key that could not be written, named as in
// "HKLM\SOFTWARE\Classes\Tessolo".
void NoteKeyWriteFailure(HKEY root, const char* path);

// Creates root\path when missing and sets its default value to text (REG_SZ);
// a failure of either is noted.
void SetDefaultText(HKEY root, const char* path, const char* text);

// Sets a named REG_SZ value of an open key; false when it failed.
bool SetNamedText(HKEY key, const char* name, const char* text);

// Sets a named REG_DWORD value of an open key; false when it failed.
bool SetNamedDword(HKEY key, const char* name, DWORD value);

// Deletes root\path only when it has no subkeys: Windows 9x would delete them
// with it, NT refuses. A missing key, or one with subkeys, stays as it is.
void DeleteKeyWithoutSubkeys(HKEY root, const char* path);

// The key deletion itself; tests put in the 9x kind, which takes subkeys along.
extern LONG(WINAPI* DeleteRegistryKey)(HKEY root, LPCSTR path);
