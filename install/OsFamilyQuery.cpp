#include "install/OsFamilyQuery.h"

#include <windows.h>

namespace {
// The ANSI version structure's size; the query is asked with it.
constexpr DWORD kVersionInfoSize = 148;
constexpr unsigned long kVistaMajorVersion = 6;
static_assert(sizeof(OSVERSIONINFOA) == kVersionInfoSize, "ANSI version structure");
static_assert(VER_PLATFORM_WIN32_NT == kPlatformWin32Nt, "NT platform id");
}  // namespace

OsVersion QueryOsVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = kVersionInfoSize;
    OsVersion version;
    if (!::GetVersionExA(&info)) return version;
    version.platformId = info.dwPlatformId;
    version.majorVersion = info.dwMajorVersion;
    version.minorVersion = info.dwMinorVersion;
    return version;
}

bool IsVistaOrLater() {
    const OsVersion version = QueryOsVersion();
    return version.platformId == kPlatformWin32Nt && version.majorVersion >= kVistaMajorVersion;
}

OsFamily QueryOsFamily() {
    const OsVersion version = QueryOsVersion();
    return ClassifyOsFamily(version.platformId, version.majorVersion, version.minorVersion);
}
