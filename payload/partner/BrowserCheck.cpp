// gcapi.dll: may the browser be offered on this system? Only when it is not
// installed yet, neither for the machine nor for this user, and the system is
// of the NT family from version 5.1 (XP) on. The refusal reasons are ORed
// into the caller's reasons word.
#include <windows.h>

#include "payload/partner/PartnerKeys.h"
#include "payload/partner/PartnerRegistry.h"

namespace {

bool SystemSupported() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!::GetVersionExA(&version)) return false;
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
    return version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
}

}  // namespace

extern "C" DWORD WINAPI GoogleChromeCompatibilityCheck(DWORD request, DWORD* reasons) {
    DWORD found = 0;
    if (request != kOfferRequest) found |= kReasonUnknownRequest;
    if (KeyExists(HKEY_LOCAL_MACHINE, kBrowserClientStateKey) ||
        KeyExists(HKEY_CURRENT_USER, kBrowserClientStateKey)) {
        found |= kReasonAlreadyInstalled;
    }
    if (!SystemSupported()) found |= kReasonSystemUnsupported;
    if (reasons) *reasons |= found;
    return found == 0 ? 1 : 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
