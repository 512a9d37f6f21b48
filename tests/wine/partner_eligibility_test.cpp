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
    ASSERT_EQ(1, ExtractResourceToTemp(path, "gtapi.dll", IDR_TOOLBAR_CHECK_DLL));
    EXPECT_EQ(temp / "gtapi.dll", path);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(0, ExtractResourceToTemp(path, "missing.dll", 9999));

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
    EXPECT_EQ(0, ExtractResourceToTemp(guarded, longName.c_str(), IDR_TOOLBAR_CHECK_DLL));
    for (size_t i = kMaxPath; i < sizeof guarded; ++i) EXPECT_EQ('G', guarded[i]);
}

}  // namespace
