// The running system's version and family, from the ANSI version query. The
// one place the setup asks it, so that every decision by Windows version sees
// the same answer.
#pragma once

#include "install/OsFamily.h"

struct OsVersion {
    unsigned long platformId = 0;
    unsigned long majorVersion = 0;
    unsigned long minorVersion = 0;
};

// The version query's answer; all zeros (a system of no known platform) when
// it is not answered.
OsVersion QueryOsVersion();

// The registry layout's family of the running system.
OsFamily QueryOsFamily();

// Vista and later (NT 6 and above): where the setup runs elevated, so that
// what it starts for the user goes through the user's desktop shell.
bool IsVistaOrLater();
