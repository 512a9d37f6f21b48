// The install driver: one installation from folder check to partner offers.
#pragma once

struct InstallOptions;

// Why an install stopped before registration; the silent start-up turns it
// into the process's exit code.
enum class InstallStop {
    None,
    EmptyFolder,
    FolderNotCreatable,
    PayloadIncomplete,
};

// Set by the partner steps, read by the finished page and the finishing actions.
extern int ToolbarOfferFailed;
extern int BrowserInstallerRun;

// Returns 1 when all payload files were written, 0 when the install stopped
// with a message (box in the wizard, install log when silent). `stop` names
// the reason when given.
int RunInstall(const InstallOptions& options, InstallStop* stop = nullptr);
