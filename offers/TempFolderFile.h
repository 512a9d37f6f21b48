// Paths in the system's temporary folder, where the partner's check libraries
// and installers are written for the time they are needed.
#pragma once

#include <string>

// Temporary folder (ending in a backslash) + name; empty when the system
// cannot name the folder or the path would not fit in kMaxPath characters.
std::string TempFolderFile(const char* name);
