#include "install/OsFamily.h"

OsFamily ClassifyOsFamily(unsigned long platformId, unsigned long majorVersion,
                          unsigned long minorVersion) {
    if (platformId != kPlatformWin32Nt) return OsFamily::Other;
    if (majorVersion == 5 && minorVersion >= 1) return OsFamily::XpFamily;
    if (majorVersion == 6) return OsFamily::VistaFamily;
    return OsFamily::Other;
}
