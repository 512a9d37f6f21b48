// The toolbar's installer: "installs" the toolbar by registering it for the
// machine, with the command line it was started with, and ends with 0.
#include <windows.h>

#include "payload/partner/PartnerKeys.h"
#include "payload/partner/PartnerRegistry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return WriteString(HKEY_LOCAL_MACHINE, kToolbarProductKey, kInstallCommandLineValue,
                       ::GetCommandLineA())
               ? 0
               : 1;
}
