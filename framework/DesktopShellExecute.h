// Starting a program or a page as the signed-in user from an elevated
// process: the request goes to the desktop shell (which runs with the user's
// own rights) and the shell starts it, instead of this process.
#pragma once

#include <windows.h>

enum class LaunchRoute {
    DesktopShell,  // the desktop shell took the request
    ThisProcess,   // ShellExecuteA of this process started it, as before
};

// Starts file with parameters ("open") as ShellExecuteA does. Where
// desktopRouteOffered (Vista and later, where the caller runs elevated) and a
// desktop shell with a folder view runs, through that shell; elsewhere, or
// when any step of that fails, through ShellExecuteA with owner and
// directory. Returns the route taken.
LaunchRoute ShellExecuteAsSignedInUser(bool desktopRouteOffered, HWND owner, const char* file,
                                       const char* parameters, const char* directory, int show);
