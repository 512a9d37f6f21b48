// The Windows families whose registry layouts the registration tells apart.
#pragma once

enum class OsFamily {
    XpFamily,     // NT 5.1 and later 5.x: per-user FileExts mappings
    VistaFamily,  // NT 6.x: Default-Programs capabilities and UserChoice
    Other,        // 9x, NT 4, 2000 and every other version number
};

// The platform id that the version query reports for the NT family.
constexpr unsigned long kPlatformWin32Nt = 2;

// The family of a system from the platform id and version of its version query.
OsFamily ClassifyOsFamily(unsigned long platformId, unsigned long majorVersion,
                          unsigned long minorVersion);
