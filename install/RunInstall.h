// The install driver: one installation from folder check to partner offers.
#pragma once

#include <string>

struct InstallOptions;

// Why an install stopped before registration, or that it went through but
// not everything after the payload could be written; the silent start-up
// turns it into the process's exit code.
enum class InstallStop {
    None,
    EmptyFolder,
    FolderNotCreatable,
    PayloadIncomplete,
    NotCompletelyRegistered,  // not a stop: the result is 1
};

// Set by the partner steps, read by the finished page and the finishing actions.
extern int ToolbarOfferFailed;
extern int BrowserInstallerRun;

// Returns 1 when all payload files were written, 0 when the install stopped
// with a message (box in the wizard, install log when silent). `stop` names
// the reason when given. A silent install whose settings file, links or
// registry keys could not all be written logs one record naming them.
// installedFolder, when given, receives the folder the files went to (ending
// in a backslash; it may differ from the typed text) once they are written.
int RunInstall(const InstallOptions& options, InstallStop* stop = nullptr,
               std::string* installedFolder = nullptr);
