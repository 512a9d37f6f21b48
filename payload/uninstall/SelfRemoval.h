// A running program cannot delete its own file. The uninstaller therefore
// leaves a copy of itself in the temporary folder that waits for it to end,
// deletes the uninstaller and then the install folder when that is empty.
#pragma once

#include <string>

// The option that makes the uninstaller the waiting copy.
constexpr char kCleanupOption[] = "/cleanup=";

// Starts the waiting copy for uninstaller (the running program's path). Where
// no copy can be started, the uninstaller and its folder are marked for
// deletion at the next restart instead.
void StartSelfRemoval(const std::string& uninstaller);

// The waiting copy's whole run, from the rest of its command line after the
// option; returns its exit code.
int RunCleanup(const char* arguments);
