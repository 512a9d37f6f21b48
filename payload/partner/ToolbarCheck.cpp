// gtapi.dll: may the toolbar be offered on this system? Only to a machine
// whose toolbar is not installed yet and whose Internet Explorer (which the
// toolbar extends) is version 6 or later. The caller names the user's
// registry root; the refusal reasons are ORed into its reasons word.
#include <cstdlib>

#include <windows.h>

#include "payload/partner/PartnerKeys.h"
#include "payload/partner/PartnerRegistry.h"

extern "C" DWORD WINAPI ToolbarCompatibilityCheck(DWORD request, HKEY userRoot, DWORD* reasons) {
    DWORD found = 0;
    if (request != kOfferRequest || userRoot == nullptr) {
        found |= kReasonUnknownRequest;
    }
    if (KeyExists(HKEY_LOCAL_MACHINE, kToolbarProductKey)) found |= kReasonAlreadyInstalled;
    const std::string explorer =
        ReadString(HKEY_LOCAL_MACHINE, kInternetExplorerKey, kInternetExplorerVersionValue);
    if (explorer.empty() || std::atoi(explorer.c_str()) < kToolbarMinimumExplorerMajor) {
        found |= kReasonSystemUnsupported;
    }
    if (reasons) *reasons |= found;
    return found == 0 ? 1 : 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
