// The registry side of an uninstall: gives every extension back to the owner
// recorded at install time, then removes what the setup wrote for the
// installation in folder, and only that.
#pragma once

#include <string>

#include "uninstall/RemovalReport.h"

// The install folder as the uninstall entry records it; empty when there is
// no entry or no location in it.
std::string ReadInstallLocation();

// folder ends in a backslash. The uninstall entry goes last, and only when
// nothing of ours stayed so far (report.failed empty). Returns true when an association was changed,
// so that the shell is told.
bool RemoveRegistration(const std::string& folder, RemovalReport& report);
