#include <gtest/gtest.h>

#include "install/OsFamily.h"

namespace {

constexpr unsigned long kPlatformWin32s = 0;
constexpr unsigned long kPlatformWin9x = 1;

TEST(ClassifyOsFamily, ByPlatformAndVersion) {
    struct Case {
        const char* system;
        unsigned long platform, major, minor;
        OsFamily expected;
    } cases[] = {
        {"XP", kPlatformWin32Nt, 5, 1, OsFamily::XpFamily},
        {"Server 2003 / XP x64", kPlatformWin32Nt, 5, 2, OsFamily::XpFamily},
        {"Windows 2000", kPlatformWin32Nt, 5, 0, OsFamily::Other},
        {"NT 4", kPlatformWin32Nt, 4, 0, OsFamily::Other},
        {"Vista", kPlatformWin32Nt, 6, 0, OsFamily::VistaFamily},
        {"Windows 7", kPlatformWin32Nt, 6, 1, OsFamily::VistaFamily},
        {"Windows 8.1 as reported without a manifest", kPlatformWin32Nt, 6, 3, OsFamily::VistaFamily},
        {"Windows 10 with a manifest", kPlatformWin32Nt, 10, 0, OsFamily::Other},
        {"an unknown 7.x", kPlatformWin32Nt, 7, 0, OsFamily::Other},
        {"Windows 98 (reports 4.10)", kPlatformWin9x, 4, 10, OsFamily::Other},
        {"9x platform with NT numbers", kPlatformWin9x, 5, 1, OsFamily::Other},
        {"9x platform with Vista numbers", kPlatformWin9x, 6, 1, OsFamily::Other},
        {"Win32s", kPlatformWin32s, 6, 0, OsFamily::Other},
        {"unanswered query", 0, 0, 0, OsFamily::Other},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, ClassifyOsFamily(c.platform, c.major, c.minor)) << c.system;
    }
}

}  // namespace
