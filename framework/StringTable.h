// String-table access: texts come back as CP1252 bytes (LoadStringA).
#pragma once

#include <string>

#include <windows.h>

// The string with that id from the setup's own module, cut at `limit`
// characters when a limit is given; empty when there is no such string.
std::string LoadStringText(UINT id, int limit = 0);
