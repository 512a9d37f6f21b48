// The command line that opens a link with the browser registered for HTML
// files (portable text logic).
#pragma once

#include <string>

// The command line buffer of the link launcher, terminating zero included.
constexpr size_t kCommandLineCopyBytes = 520;

// Cuts the registered open command at its first quoted placeholder "%1" (or,
// without one, at the first bare %1), then appends a blank and the target.
// A command with no placeholder keeps all of its text. Returns false, and
// leaves `commandLine` empty, when the result does not fit the launcher's
// buffer: a cut-off address could open a different page, so it is not run.
bool BuildBrowserCommand(const std::string& registeredCommand, const std::string& target,
                         std::string& commandLine);
