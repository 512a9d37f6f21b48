#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "install/InstallOptions.h"
#include "product/WebHosts.h"
#include "install/RunInstall.h"
#include "offers/PartnerInstallers.h"
#include "tests/wine/ImportHook.h"
#include "tests/wine/PartnerTestSupport.h"

namespace {

// The stand-in partner programs, built next to this test's build folder.
std::string StandIn(const char* name) {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    for (int level = 0; level < 3; ++level) path.erase(path.find_last_of('\\'));
    return path + "\\payload\\partner\\" + name;
}

// What the download "server" hands out.
enum class Served { Nothing, ToolbarInstaller, UnversionedInstaller, CheckLibrary,
                    BrowserInstaller, Bytes559000, Bytes559001 };

struct FakeDownload {
    explicit FakeDownload(Served what) : served(what) {}

    Served served;
    std::vector<std::string> urls;
    std::vector<std::string> labels;
    std::string target;

    bool operator()(const std::string& url, const std::string& to, const char* label) {
        urls.push_back(url);
        labels.push_back(label);
        target = to;
        switch (served) {
            case Served::Nothing: return false;
            case Served::ToolbarInstaller: return Copy("google_toolbar_installer.exe", to);
            case Served::UnversionedInstaller: return Copy("google_toolbar_unversioned.exe", to);
            case Served::CheckLibrary: return Copy("gtapi.dll", to);
            case Served::BrowserInstaller: return Copy("GoogleChromeDownloader.exe", to);
            case Served::Bytes559000: return Padded(to, 559000);
            case Served::Bytes559001: return Padded(to, 559001);
        }
        return false;
    }
    static bool Copy(const char* name, const std::string& to) {
        return ::CopyFileA(StandIn(name).c_str(), to.c_str(), FALSE) != 0;
    }
    // The toolbar installer, padded with zeros at its end (it still runs).
    static bool Padded(const std::string& to, LONG size) {
        if (!Copy("google_toolbar_installer.exe", to)) return false;
        UniqueFile file(::CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        return file && ::SetFilePointer(file.Get(), size, nullptr, FILE_BEGIN) == static_cast<DWORD>(size) &&
               ::SetEndOfFile(file.Get());
    }
};

bool FromEitherBase(const std::string& url, const std::string& file) {
    return url == std::string(kMainDownloadBase) + file || url == std::string(kAltDownloadBase) + file;
}

class PartnerInstallers : public ::testing::Test {
protected:
    void SetUp() override { UninstallPartnerProducts(); }
    void TearDown() override { UninstallPartnerProducts(); }
    PrivateTempFolder m_temp;
};

// Each case: the family, what the server hands out, and what must follow.
// The installer's recorded command line proves that (and how) it ran; the
// downloaded file is gone afterwards in every case.
TEST_F(PartnerInstallers, ToolbarRunsOnlyAVerifiedDownload) {
    struct Case {
        const char* name;
        bool windows9x;
        Served served;
        int failed;
        const char* arguments;  // null: must not have run
    } cases[] = {
        {"download failed", false, Served::Nothing, 1, nullptr},
        {"installer", false, Served::ToolbarInstaller, 0, "/e:asknot /t:24 /d:ask /h:ask /q /r:TESC"},
        {"no version resource", false, Served::UnversionedInstaller, 1, nullptr},
        {"verified but cannot start", false, Served::CheckLibrary, 1, nullptr},
        {"9x: download failed", true, Served::Nothing, 1, nullptr},
        {"9x: exactly 559000 bytes", true, Served::Bytes559000, 1, nullptr},
        {"9x: 559001 bytes", true, Served::Bytes559001, 0, "/q /s:de"},
        {"9x: size is the only test", true, Served::UnversionedInstaller, 1, nullptr},
    };
    for (const Case& c : cases) {
        UninstallPartnerProducts();
        ToolbarOfferFailed = 1 - c.failed;
        FakeDownload download(c.served);
        RunToolbarOffer(c.windows9x, std::ref(download));

        EXPECT_EQ(c.failed, ToolbarOfferFailed) << c.name;
        ASSERT_EQ(1u, download.urls.size()) << c.name;
        EXPECT_TRUE(FromEitherBase(download.urls[0], c.windows9x ? "google_toolbar_9x_de.exe"
                                                                 : "google_toolbar_tesd.exe"))
            << c.name << ": " << download.urls[0];
        EXPECT_EQ("Google Toolbar", download.labels[0]) << c.name;
        EXPECT_EQ(m_temp / "google_toolbar_installer.exe", download.target) << c.name;
        EXPECT_FALSE(FileExists(download.target)) << c.name;
        const std::string ran = ReadValue(HKEY_LOCAL_MACHINE, kToolbarProductKey, "InstallCommandLine");
        if (c.arguments) {
            EXPECT_EQ("\"" + download.target + "\" " + c.arguments, ran) << c.name;
        } else {
            EXPECT_EQ("", ran) << c.name;
        }
    }
}

TEST_F(PartnerInstallers, BrowserRunsOnlyAVersionedDownload) {
    struct Case {
        const char* name;
        bool asDefault;
        Served served;
        int installerRun;
        const char* arguments;
    } cases[] = {
        {"default browser", true, Served::BrowserInstaller, 1, "/default:true"},
        {"not the default", false, Served::BrowserInstaller, 1, "/default:false"},
        {"download failed", true, Served::Nothing, 0, nullptr},
        {"no version resource", true, Served::UnversionedInstaller, 0, nullptr},
        {"verified but cannot start", false, Served::CheckLibrary, 0, nullptr},
    };
    for (const Case& c : cases) {
        UninstallPartnerProducts();
        BrowserInstallerRun = 0;
        FakeDownload download(c.served);
        RunBrowserOffer(c.asDefault, std::ref(download));

        EXPECT_EQ(c.installerRun, BrowserInstallerRun) << c.name;
        ASSERT_EQ(1u, download.urls.size()) << c.name;
        EXPECT_TRUE(FromEitherBase(download.urls[0], "google_chrome.exe")) << c.name;
        EXPECT_EQ("Google Chrome", download.labels[0]) << c.name;
        EXPECT_EQ(m_temp / "GoogleChromeDownloader.exe", download.target) << c.name;
        EXPECT_FALSE(FileExists(download.target)) << c.name;
        const std::string ran =
            ReadValue(HKEY_LOCAL_MACHINE, kBrowserClientStateKey, "InstallCommandLine");
        if (c.arguments) {
            EXPECT_EQ("\"" + download.target + "\" " + c.arguments, ran) << c.name;
            EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kBrowserClientStateKey,
                                   "LastInstallerSuccessLaunchCmdLine").empty()) << c.name;
        } else {
            EXPECT_EQ("", ran) << c.name;
        }
    }
}

extern "C" decltype(&::GetFileVersionInfoSizeA) versionSizeSlot
    IMPORT_SLOT(GetFileVersionInfoSizeA, 8);
extern "C" decltype(&::CreateProcessA) createProcessSlot IMPORT_SLOT(CreateProcessA, 40);
const auto realVersionSize = versionSizeSlot;
const auto realCreateProcess = createProcessSlot;

DWORD WINAPI VersionSizeAndLook(LPCSTR path, LPDWORD handle) {
    g_holdWatch.Look("check", path);
    return realVersionSize(path, handle);
}

BOOL WINAPI CreateProcessAndLook(LPCSTR application, LPSTR commandLine,
                                 LPSECURITY_ATTRIBUTES processAttributes,
                                 LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags,
                                 LPVOID environment, LPCSTR folder, LPSTARTUPINFOA startup,
                                 LPPROCESS_INFORMATION process) {
    // The program is the command line's first, quoted part.
    const std::string line = commandLine;
    g_holdWatch.Look("start", line.substr(1, line.find('"', 1) - 1));
    return realCreateProcess(application, commandLine, processAttributes, threadAttributes,
                             inherit, flags, environment, folder, startup, process);
}

// The temporary folder is the user's: from the check of the downloaded file
// until its process exists nobody may write or delete it, or a file other
// than the checked one would run.
TEST_F(PartnerInstallers, InstallerIsHeldFromItsCheckUntilItStarts) {
    ImportHook<decltype(&::GetFileVersionInfoSizeA)> check(versionSizeSlot, VersionSizeAndLook);
    ImportHook<decltype(&::CreateProcessA)> start(createProcessSlot, CreateProcessAndLook);
    struct Case {
        const char* savedAs;
        Served served;
        void (*run)(FakeDownload&);
    } cases[] = {
        {"google_toolbar_installer.exe", Served::ToolbarInstaller,
         [](FakeDownload& d) { RunToolbarOffer(false, std::ref(d)); }},
        {"GoogleChromeDownloader.exe", Served::BrowserInstaller,
         [](FakeDownload& d) { RunBrowserOffer(false, std::ref(d)); }},
    };
    for (const Case& c : cases) {
        UninstallPartnerProducts();
        g_holdWatch = {m_temp / c.savedAs, ""};
        FakeDownload download(c.served);
        c.run(download);
        EXPECT_EQ("check held; start held; ", g_holdWatch.seen) << c.savedAs;
        EXPECT_FALSE(FileExists(g_holdWatch.path)) << c.savedAs;
    }
}

// A temporary folder with blanks in its path: the installer still gets its
// own path as one argument.
TEST_F(PartnerInstallers, TargetPathWithBlanksIsQuoted) {
    const std::string spaced = m_temp / "Lokale Einstellungen";
    ASSERT_TRUE(::CreateDirectoryA(spaced.c_str(), nullptr));
    ::SetEnvironmentVariableA("TMP", spaced.c_str());
    FakeDownload download(Served::ToolbarInstaller);
    RunToolbarOffer(false, std::ref(download));
    EXPECT_EQ(0, ToolbarOfferFailed);
    EXPECT_EQ("\"" + spaced + "\\google_toolbar_installer.exe\" /e:asknot /t:24 /d:ask /h:ask /q /r:TESC",
              ReadValue(HKEY_LOCAL_MACHINE, kToolbarProductKey, "InstallCommandLine"));
}

// A silent install offers nothing, whatever its partner flags say; every
// install clears the browser flag first.
TEST_F(PartnerInstallers, SilentInstallOffersNothing) {
    InstallOptions options;
    options.silent = 1;
    options.installToolbar = 1;
    options.installBrowser = 1;
    BrowserInstallerRun = 1;
    RunPartnerOffers(options);
    EXPECT_EQ(0, BrowserInstallerRun);
    EXPECT_EQ("", ReadValue(HKEY_LOCAL_MACHINE, kToolbarProductKey, "InstallCommandLine"));
}

}  // namespace
