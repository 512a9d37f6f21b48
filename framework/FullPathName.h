// A path as the system completes it against the current directory.
#pragma once

#include <string>

// The full path of `path`: a relative one is completed from the current
// directory, a drive-relative one ("C:Apps") from that drive's current
// directory, which only the system knows. Empty when it cannot be completed
// or the result would not fit MAX_PATH.
std::string FullPathName(const char* path);
