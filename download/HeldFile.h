// A file written into a folder others can write in (the user's temporary
// folder) and then run or loaded by the setup: created afresh under its name,
// and held from its last written byte until it is used, so that the file used
// is the file written.
#pragma once

#include <string>

#include <windows.h>

#include "download/Sha256.h"
#include "framework/Handles.h"

// Deletes whatever has the name (a link goes, never what it leads to) and
// creates the file new, open for writing with only reading shared. Invalid
// when the name cannot be freed (a file that cannot be deleted, a folder, one
// put there again in between): nothing is ever written through an old name.
UniqueFile CreateFileAfresh(const std::string& path);

// Trades `writer`, open on the complete file at `path`, for a hold: the file
// open for reading with writing and deleting denied to everyone else. Invalid
// when someone else has it open for writing at that moment.
UniqueFile HoldWrittenFile(UniqueFile writer, const std::string& path);

// The SHA-256 of the held file, read through the hold; false when a read fails.
bool DigestOfHeldFile(const UniqueFile& held, Sha256Digest& digest);

// Whether the held file is exactly these `size` bytes.
bool HeldFileHolds(const UniqueFile& held, const void* bytes, DWORD size);
