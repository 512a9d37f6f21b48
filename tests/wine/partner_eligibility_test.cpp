#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "product/Limits.h"
#include "install/RunInstall.h"
#include "offers/ExtractResourceToTemp.h"
#include "offers/PartnerEligibility.h"
#include "res/ResourceIds.h"
#include "tests/wine/ImportHook.h"
#include "tests/wine/PartnerTestSupport.h"

namespace {

class PartnerEligibility : public ::testing::Test {
protected:
    void SetUp() override {
        m_explorerVersion = ReadValue(HKEY_LOCAL_MACHINE, kExplorerKey, "Version");
        UninstallPartnerProducts();
    }
    void TearDown() override {
        UninstallPartnerProducts();
        WriteValue(HKEY_LOCAL_MACHINE, kExplorerKey, "Version", m_explorerVersion);
    }
    // After a check that ran to its end nothing is left in the temporary folder.
    void ExpectNoLibraryLeft(const char* context) {
        EXPECT_FALSE(FileExists(m_temp / "gtapi.dll")) << context;
        EXPECT_FALSE(FileExists(m_temp / "gcapi.dll")) << context;
    }

    PrivateTempFolder m_temp;
    std::string m_explorerVersion;
};

// The stand-in libraries decide from the registry; each case is a state of
// the system and what each check must answer, with the reasons it gives.
TEST_F(PartnerEligibility, ChecksFollowTheSystemState) {
    struct Case {
        const char* name;
        bool toolbarInstalled;
        bool browserForMachine;
        bool browserForUser;
        const char* explorerVersion;
        int toolbarResult;
        DWORD toolbarReasons;
        int browserResult;
        DWORD browserReasons;
    } cases[] = {
        {"nothing installed", false, false, false, nullptr, 1, 0, 1, 0},
        {"toolbar installed", true, false, false, nullptr, 0, 0x1, 1, 0},
        {"browser for the machine", false, true, false, nullptr, 1, 0, 0, 0x1},
        {"browser for the user", false, false, true, nullptr, 1, 0, 0, 0x1},
        {"old explorer", false, false, false, "5.50.4134.0600", 0, 0x2, 1, 0},
        {"both installed, old explorer", true, true, false, "5.0", 0, 0x3, 0, 0x1},
    };
    for (const Case& c : cases) {
        UninstallPartnerProducts();
        WriteValue(HKEY_LOCAL_MACHINE, kExplorerKey, "Version",
                   c.explorerVersion ? c.explorerVersion : m_explorerVersion);
        if (c.toolbarInstalled) CreateKey(HKEY_LOCAL_MACHINE, kToolbarProductKey);
        if (c.browserForMachine) CreateKey(HKEY_LOCAL_MACHINE, kBrowserClientStateKey);
        if (c.browserForUser) CreateKey(HKEY_CURRENT_USER, kBrowserClientStateKey);

        DWORD reasons = 0;
        EXPECT_EQ(c.toolbarResult, CheckToolbarEligible(&reasons)) << c.name;
        EXPECT_EQ(c.toolbarReasons, reasons) << c.name;
        reasons = 0;
        EXPECT_EQ(c.browserResult, CheckBrowserEligible(&reasons)) << c.name;
        EXPECT_EQ(c.browserReasons, reasons) << c.name;
        ExpectNoLibraryLeft(c.name);
    }
}

// The toolbar first; the browser is checked only when the toolbar is not
// offered. A marker file in the browser library's place shows whether its
// check ran: a check extracts over it and deletes it.
TEST_F(PartnerEligibility, BrowserCheckedOnlyWithoutToolbarOffer) {
    struct Case {
        const char* name;
        bool toolbarInstalled;
        bool browserInstalled;
        int toolbarOffered;
        int browserOffered;
        bool browserChecked;
    } cases[] = {
        {"both eligible", false, false, 1, 0, false},
        {"toolbar eligible only", false, true, 1, 0, false},
        {"browser eligible only", true, false, 0, 1, true},
        {"neither eligible", true, true, 0, 0, true},
    };
    for (const Case& c : cases) {
        UninstallPartnerProducts();
        if (c.toolbarInstalled) CreateKey(HKEY_LOCAL_MACHINE, kToolbarProductKey);
        if (c.browserInstalled) CreateKey(HKEY_LOCAL_MACHINE, kBrowserClientStateKey);
        WriteTextFile(m_temp / "gcapi.dll", "marker");
        BrowserInstallerRun = 1;

        const PartnerOffers offers = DecidePartnerOffers();
        EXPECT_EQ(c.toolbarOffered, offers.toolbarOffered) << c.name;
        EXPECT_EQ(c.browserOffered, offers.browserOffered) << c.name;
        EXPECT_EQ(c.browserChecked, !FileExists(m_temp / "gcapi.dll")) << c.name;
        EXPECT_EQ(0, BrowserInstallerRun) << c.name;
        EXPECT_FALSE(FileExists(m_temp / "gtapi.dll")) << c.name;
        (void)::DeleteFileA((m_temp / "gcapi.dll").c_str());
    }
}

extern "C" decltype(&::LoadLibraryA) loadLibrarySlot IMPORT_SLOT(LoadLibraryA, 4);
const auto realLoadLibrary = loadLibrarySlot;

HMODULE WINAPI LoadLibraryAndLook(LPCSTR path) {
    g_holdWatch.Look("load", path);
    return realLoadLibrary(path);
}

// The library lies in the user's temporary folder until it is loaded: nobody
// may write or delete it meanwhile.
TEST_F(PartnerEligibility, LibraryIsHeldUntilItIsLoaded) {
    ImportHook<decltype(&::LoadLibraryA)> load(loadLibrarySlot, LoadLibraryAndLook);
    struct Case {
        const char* library;
        int (*check)(DWORD*);
    } cases[] = {{"gtapi.dll", CheckToolbarEligible}, {"gcapi.dll", CheckBrowserEligible}};
    for (const Case& c : cases) {
        g_holdWatch = {m_temp / c.library, ""};
        DWORD reasons = 0;
        EXPECT_EQ(1, c.check(&reasons)) << c.library;
        EXPECT_EQ("load held; ", g_holdWatch.seen) << c.library;
        ExpectNoLibraryLeft(c.library);
    }
}

struct SwappedLibrary {
    std::string otherExport;
    bool loaded = false;
};
SwappedLibrary g_swappedLibrary;

HMODULE WINAPI LoadLibraryAndLookForSwapped(LPCSTR path) {
    HMODULE module = realLoadLibrary(path);
    if (module && ::GetProcAddress(module, g_swappedLibrary.otherExport.c_str())) {
        g_swappedLibrary.loaded = true;
    }
    return module;
}

// Someone who can write in the temporary folder puts the other partner's
// library in the check library's place whenever the setup opens it to hold or
// compare it: that library is never loaded, and the check answers only when
// its library was not touched.
TEST_F(PartnerEligibility, LibrarySwappedAsItIsHeldIsNotLoaded) {
    ImportHook<decltype(&::LoadLibraryA)> load(loadLibrarySlot, LoadLibraryAndLookForSwapped);
    struct Case {
        const char* library;
        int (*check)(DWORD*);
        const char* swappedIn;
        const char* swappedInExport;
    } cases[] = {
        {"gtapi.dll", CheckToolbarEligible, "gcapi.dll", "_GoogleChromeCompatibilityCheck@8"},
        {"gcapi.dll", CheckBrowserEligible, "gtapi.dll", "ToolbarCompatibilityCheck"},
    };
    for (const Case& c : cases) {
        SwapWhenOpened swapper(m_temp / c.library, ReadWholeFile(StandIn(c.swappedIn)));
        g_swappedLibrary = {c.swappedInExport, false};
        DWORD reasons = 0;
        const int result = c.check(&reasons);
        EXPECT_LT(0, g_swapper.chances) << c.library;
        EXPECT_FALSE(g_swappedLibrary.loaded) << c.library;
        EXPECT_EQ(g_swapper.swaps == 0 ? 1 : 0, result) << c.library;
    }
}

// A check library's name in the temporary folder that cannot be freed for a
// new file (another program keeps the old one open to write into) fails the
// check; nothing is written through it, nor through a link under that name.
TEST_F(PartnerEligibility, LibraryNameThatCannotBeFreedIsNeverWrittenThrough) {
    const std::string library = m_temp / "gtapi.dll";
    const std::string other = m_temp / "other.dll";
    struct Case {
        const char* name;
        bool hardLink;
        int result;
    } cases[] = {
        {"kept open for writing by another program", false, 0},
        {"a hard link to another file", true, 1},
    };
    for (const Case& c : cases) {
        WriteTextFile(other, "another file");
        UniqueFile keeper;
        DWORD count = 0;
        if (c.hardLink) {
            ASSERT_TRUE(::CreateHardLinkA(library.c_str(), other.c_str(), nullptr)) << c.name;
        } else {
            keeper = KeepOpenForWriting(library);
            ASSERT_TRUE(keeper && ::WriteFile(keeper.Get(), "kept", 4, &count, nullptr)) << c.name;
        }
        DWORD reasons = 0;
        EXPECT_EQ(c.result, CheckToolbarEligible(&reasons)) << c.name;
        keeper.Reset();
        EXPECT_EQ("another file", ReadWholeFile(other)) << c.name;
        if (!c.hardLink) {
            EXPECT_EQ("kept", ReadWholeFile(library).substr(0, 16)) << c.name;
        }
        (void)::DeleteFileA(library.c_str());
    }
}

// A library that cannot be written makes its offer ineligible, quietly.
TEST_F(PartnerEligibility, UnwritableLibraryMeansNotEligible) {
    ASSERT_TRUE(::CreateDirectoryA((m_temp / "gtapi.dll").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((m_temp / "gcapi.dll").c_str(), nullptr));
    DWORD reasons = 0;
    EXPECT_EQ(0, CheckToolbarEligible(&reasons));
    EXPECT_EQ(0, CheckBrowserEligible(&reasons));
    EXPECT_EQ(0u, reasons);
    const PartnerOffers offers = DecidePartnerOffers();
    EXPECT_EQ(0, offers.toolbarOffered);
    EXPECT_EQ(0, offers.browserOffered);
}

TEST(ExtractResourceToTemp, WritesIntoTheTemporaryFolderOrRefusesTooLongPaths) {
    PrivateTempFolder temp;
    char path[kMaxPath];
    ASSERT_TRUE(ExtractResourceToTemp(path, "gtapi.dll", IDR_TOOLBAR_CHECK_DLL));
    EXPECT_EQ(temp / "gtapi.dll", path);
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(ExtractResourceToTemp(path, "missing.dll", 9999));

    // A temporary folder so long that the name no longer fits in 260
    // characters: refused, and nothing is written past the buffer.
    std::string deep = temp.Path();
    while (deep.size() < 230) {
        deep += "abcdefghij";
        ASSERT_TRUE(::CreateDirectoryA(deep.c_str(), nullptr)) << deep;
        deep += "\\";
    }
    ::SetEnvironmentVariableA("TMP", deep.c_str());
    char guarded[kMaxPath + 16];
    std::memset(guarded, 'G', sizeof guarded);
    const std::string longName(40, 'n');
    EXPECT_FALSE(ExtractResourceToTemp(guarded, longName.c_str(), IDR_TOOLBAR_CHECK_DLL));
    for (size_t i = kMaxPath; i < sizeof guarded; ++i) EXPECT_EQ('G', guarded[i]);
}

}  // namespace
