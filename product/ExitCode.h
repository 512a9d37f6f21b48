// Process exit codes of a silent run. Shipped values are never reused.
#pragma once

enum ExitCode : int {
    kExitInstalled = 0,          // also every wizard run
    kExitViewerRunning = 2,      // a viewer window was open; nothing installed
    kExitEmptyFolder = 3,        // the install folder was empty
    kExitFolderNotCreatable = 4, // the install folder could not be created
    kExitPayloadIncomplete = 5,  // fewer than all payload files were written
    // Installed, but the settings file, a link or a registry key could not
    // be written; one log record names them.
    kExitNotCompletelyRegistered = 6,
};
