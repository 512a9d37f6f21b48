// Whether the partner offers its toolbar or its browser on this system: the
// partner's own check libraries, carried as resources, decide.
#pragma once

#include <windows.h>

// Runs gtapi.dll's ToolbarCompatibilityCheck(1, HKEY_CURRENT_USER, reasons).
// 0 when the library cannot be extracted, loaded or has no such export; else
// the library's result (non-zero: eligible).
int CheckToolbarEligible(DWORD* offerReasons);

// Runs gcapi.dll's _GoogleChromeCompatibilityCheck@8(1, reasons) under COM;
// 0 on the same failures, else the library's result.
int CheckBrowserEligible(DWORD* offerReasons);

struct PartnerOffers {
    int toolbarOffered = 0;
    int browserOffered = 0;
};

// The start-up's decision before the wizard's pages exist: the toolbar
// first, the browser only when the toolbar is not offered. Also clears
// BrowserInstallerRun.
PartnerOffers DecidePartnerOffers();
