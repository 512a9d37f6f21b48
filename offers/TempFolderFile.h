// Paths in the system's temporary folder, where the partner's check libraries
// and installers are written for the time they are needed.
#pragma once

#include <string>

#include "framework/Handles.h"

// Temporary folder (ending in a backslash) + name; empty when the system
// cannot name the folder or the path would not fit in kMaxPath characters.
std::string TempFolderFile(const char* name);

// Opens the file for reading with writing and deleting denied to everyone
// else. The temporary folder is the user's to write in while the setup
// usually runs elevated: held from its check until the process is created or
// the library loaded, the file that was checked is the one that runs. Invalid
// when the file is missing or someone else has it open for writing.
UniqueFile HoldAgainstChange(const std::string& path);
