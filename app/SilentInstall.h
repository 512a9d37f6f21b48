// The silent start-up: one install driven by the command line.
#pragma once

// Runs the silent install that commandLine (the whole raw line) asks for and
// returns the process's exit code (product/ExitCode.h). Shows no window: stops
// go to the install log.
int RunSilentInstall(const char* commandLine);
