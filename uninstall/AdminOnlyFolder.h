// A folder that only administrators can write to: where the elevated
// uninstaller puts its waiting copy on NT, so that no program of the user's
// can swap the copy, or place a library beside it, before it starts.
#pragma once

#include <string>

// True on NT when the process runs with administrator rights: elevated from
// Vista on, a member of Administrators before. False on 9x, and where the
// system cannot tell.
bool RunsElevated();

// Creates folder, which must not exist yet, owned by Administrators. Its
// security gives Administrators and SYSTEM full control, passed on to what is
// created inside, and nobody else any access; nothing is inherited from the
// folder above. False where it exists already or the system offers no such
// security.
bool CreateAdminOnlyFolder(const std::string& folder);
