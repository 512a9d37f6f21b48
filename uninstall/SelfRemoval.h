// A running program cannot delete its own file. The uninstaller therefore
// leaves a copy of itself in the temporary folder (on NT, when elevated, in a
// new folder of its own there that only administrators can write to) that
// waits for it to end,
// deletes the uninstaller and then the install folder when that is empty,
// and the folder levels the install created above it when those are empty.
#pragma once

#include <string>

// The option that makes the uninstaller the waiting copy.
constexpr char kCleanupOption[] = "/cleanup=";

// Starts the waiting copy for uninstaller (the running program's path);
// createdTop is the install record's highest created level (may be empty).
// Where no copy can be started, the uninstaller is set aside under a name of
// its own and marked, with its folder, for deletion at the next restart.
void StartSelfRemoval(const std::string& uninstaller, const std::string& createdTop);

// The waiting copy's arguments (what follows the option): the handle it
// waits on, the uninstaller file as it is now, the created levels and the
// copy's own folder when it is one of ours (else empty), which goes at the
// next restart with the copy.
std::string CleanupArguments(unsigned long waitHandle, const std::string& uninstaller,
                             const std::string& createdTop, const std::string& ownFolder);

// The waiting copy's whole run, from the rest of its command line after the
// option; returns its exit code.
int RunCleanup(const char* arguments);

// Marks a file for deletion at the next restart: through MoveFileEx on NT,
// where a refusal is a failure; on 9x, which lacks it, as a line with the
// file's short name in WININIT.INI (read before long names exist). Returns
// true when marked.
bool DeleteFileAtRestart(const std::string& path);
