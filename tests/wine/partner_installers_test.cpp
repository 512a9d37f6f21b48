#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "install/InstallOptions.h"
#include "product/WebHosts.h"
#include "download/HeldFile.h"
#include "install/RunInstall.h"
#include "offers/PartnerInstallers.h"
#include "tests/wine/ImportHook.h"
#include "tests/wine/PartnerTestSupport.h"

namespace {

// What the download "server" hands out: a stand-in's bytes (none: the
// download fails), padded with zeros up to `padTo` bytes (a padded program
// still runs), with the byte at `changeAt` changed when it is given.
struct Served {
    const char* standIn;
    size_t padTo = 0;
    size_t changeAt = std::string::npos;
};
const Served kNothing{nullptr};
const Served kToolbarInstaller{"google_toolbar_installer.exe"};
const Served kUnversionedInstaller{"google_toolbar_unversioned.exe"};
const Served kCheckLibrary{"gtapi.dll"};
const Served kBrowserInstaller{"GoogleChromeDownloader.exe"};
// A byte of the DOS stub's text: the program still runs and keeps its version
// resource.
constexpr size_t kStubTextByte = 0x50;
// The 9x installer the build vouches for is the toolbar installer padded so.
constexpr size_t kToolbar9xBytes = 559001;

std::string BytesOf(const Served& served) {
    std::string bytes = ReadWholeFile(StandIn(served.standIn));
    if (bytes.size() < served.padTo) bytes.resize(served.padTo, '\0');
    if (served.changeAt < bytes.size()) bytes[served.changeAt] ^= 0x01;
    return bytes;
}

// Writes what is served the way the download dialog does: into a new file,
// hashing what it writes, the file left open for writing.
struct FakeDownload {
    explicit FakeDownload(Served what) : served(what) {}

    Served served;
    std::vector<std::string> urls;
    std::vector<std::string> labels;
    std::string target;

    bool operator()(const std::string& url, const std::string& to, const char* label,
                    DownloadedFile& file) {
        urls.push_back(url);
        labels.push_back(label);
        target = to;
        if (!served.standIn) return false;
        const std::string bytes = BytesOf(served);
        file.writer = CreateFileAfresh(to);
        DWORD written = 0;
        if (!file.writer || !::WriteFile(file.writer.Get(), bytes.data(),
                                         static_cast<DWORD>(bytes.size()), &written, nullptr)) {
            return false;
        }
        Sha256 hash;
        hash.Update(bytes.data(), bytes.size());
        file.digest = hash.Digest();
        return true;
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
// downloaded file is gone afterwards in every case. Only the file whose
// digest the build carries runs, also where another one would pass for it.
TEST_F(PartnerInstallers, ToolbarRunsOnlyAVerifiedDownload) {
    struct Case {
        const char* name;
        bool windows9x;
        Served served;
        int failed;
        const char* arguments;  // null: must not have run
    } cases[] = {
        {"download failed", false, kNothing, 1, nullptr},
        {"installer", false, kToolbarInstaller, 0, "/e:asknot /t:24 /d:ask /h:ask /q /r:TESC"},
        {"no version resource", false, kUnversionedInstaller, 1, nullptr},
        {"one byte different, version resource kept", false,
         {"google_toolbar_installer.exe", 0, kStubTextByte}, 1, nullptr},
        {"a library, not a program", false, kCheckLibrary, 1, nullptr},
        {"9x: download failed", true, kNothing, 1, nullptr},
        {"9x: one byte short", true, {"google_toolbar_installer.exe", kToolbar9xBytes - 1}, 1, nullptr},
        {"9x: installer", true, {"google_toolbar_installer.exe", kToolbar9xBytes}, 0, "/q /s:de"},
        {"9x: one byte different", true,
         {"google_toolbar_installer.exe", kToolbar9xBytes, kToolbar9xBytes - 1}, 1, nullptr},
        {"9x: another program of its size", true,
         {"google_toolbar_unversioned.exe", kToolbar9xBytes}, 1, nullptr},
        {"9x: the NT installer", true, kToolbarInstaller, 1, nullptr},
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

TEST_F(PartnerInstallers, BrowserRunsOnlyAVerifiedDownload) {
    struct Case {
        const char* name;
        bool asDefault;
        Served served;
        int installerRun;
        const char* arguments;
    } cases[] = {
        {"default browser", true, kBrowserInstaller, 1, "/default:true"},
        {"not the default", false, kBrowserInstaller, 1, "/default:false"},
        {"download failed", true, kNothing, 0, nullptr},
        {"no version resource", true, kUnversionedInstaller, 0, nullptr},
        {"one byte different, version resource kept", true,
         {"GoogleChromeDownloader.exe", 0, kStubTextByte}, 0, nullptr},
        {"a library, not a program", false, kCheckLibrary, 0, nullptr},
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

extern "C" decltype(&::ReadFile) readFileSlot IMPORT_SLOT(ReadFile, 20);
extern "C" decltype(&::CreateProcessA) createProcessSlot IMPORT_SLOT(CreateProcessA, 40);
const auto realReadFile = readFileSlot;
const auto realCreateProcess = createProcessSlot;
std::string g_startFolder;

// The check reads the held file; its first read is looked at.
BOOL WINAPI ReadFileAndLook(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read,
                            LPOVERLAPPED overlapped) {
    if (g_holdWatch.seen.empty()) g_holdWatch.Look("check", PathOf(file));
    return realReadFile(file, buffer, size, read, overlapped);
}

BOOL WINAPI CreateProcessAndLook(LPCSTR application, LPSTR commandLine,
                                 LPSECURITY_ATTRIBUTES processAttributes,
                                 LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags,
                                 LPVOID environment, LPCSTR folder, LPSTARTUPINFOA startup,
                                 LPPROCESS_INFORMATION process) {
    // The program is the command line's first, quoted part.
    const std::string line = commandLine;
    g_holdWatch.Look("start", line.substr(1, line.find('"', 1) - 1));
    g_startFolder = folder ? folder : "<the setup's>";
    return realCreateProcess(application, commandLine, processAttributes, threadAttributes,
                             inherit, flags, environment, folder, startup, process);
}

// The temporary folder is the user's: from the check of the downloaded file
// until its process exists nobody may write or delete it, or a file other
// than the checked one would run. The installer starts in the system folder,
// where nobody but administrators puts libraries it might load.
TEST_F(PartnerInstallers, InstallerIsHeldFromItsCheckUntilItStarts) {
    ImportHook<decltype(&::ReadFile)> check(readFileSlot, ReadFileAndLook);
    ImportHook<decltype(&::CreateProcessA)> start(createProcessSlot, CreateProcessAndLook);
    char systemFolder[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetSystemDirectoryA(systemFolder, MAX_PATH));
    struct Case {
        const char* savedAs;
        Served served;
        void (*run)(FakeDownload&);
    } cases[] = {
        {"google_toolbar_installer.exe", kToolbarInstaller,
         [](FakeDownload& d) { RunToolbarOffer(false, std::ref(d)); }},
        {"GoogleChromeDownloader.exe", kBrowserInstaller,
         [](FakeDownload& d) { RunBrowserOffer(false, std::ref(d)); }},
    };
    for (const Case& c : cases) {
        UninstallPartnerProducts();
        g_holdWatch = {m_temp / c.savedAs, ""};
        g_startFolder.clear();
        FakeDownload download(c.served);
        c.run(download);
        EXPECT_EQ("check held; start held; ", g_holdWatch.seen) << c.savedAs;
        EXPECT_EQ(systemFolder, g_startFolder) << c.savedAs;
        EXPECT_FALSE(FileExists(g_holdWatch.path)) << c.savedAs;
    }
}

// Someone who can write in the temporary folder puts another program in the
// installer's place whenever the setup opens it to hold or check it: that
// program never runs, and the partner's runs only when it was not touched.
TEST_F(PartnerInstallers, InstallerSwappedAsItIsHeldDoesNotRun) {
    struct Case {
        const char* savedAs;
        Served served;
        void (*run)(FakeDownload&);
        const char* swappedIn;
        const char* swappedInRecordsUnder;
        const char* partnerRecordsUnder;
    } cases[] = {
        {"google_toolbar_installer.exe", kToolbarInstaller,
         [](FakeDownload& d) { RunToolbarOffer(false, std::ref(d)); }, "GoogleChromeDownloader.exe",
         kBrowserClientStateKey, kToolbarProductKey},
        {"GoogleChromeDownloader.exe", kBrowserInstaller,
         [](FakeDownload& d) { RunBrowserOffer(false, std::ref(d)); },
         "google_toolbar_installer.exe", kToolbarProductKey, kBrowserClientStateKey},
    };
    for (const Case& c : cases) {
        UninstallPartnerProducts();
        SwapWhenOpened swapper(m_temp / c.savedAs, ReadWholeFile(StandIn(c.swappedIn)));
        FakeDownload download(c.served);
        c.run(download);
        EXPECT_LT(0, g_swapper.chances) << c.savedAs;
        EXPECT_EQ("", ReadValue(HKEY_LOCAL_MACHINE, c.swappedInRecordsUnder, "InstallCommandLine"))
            << c.savedAs;
        EXPECT_EQ(g_swapper.swaps == 0,
                  !ReadValue(HKEY_LOCAL_MACHINE, c.partnerRecordsUnder, "InstallCommandLine").empty())
            << c.savedAs << ": swapped " << g_swapper.swaps << " times";
    }
}

// The download's target is always a new file: whatever had its name before
// goes, and nothing is written through it: not a leftover, not a link to
// another file, not a file another program keeps open to write into.
TEST_F(PartnerInstallers, DownloadTargetIsANewFileNeverAnOldName) {
    enum class Planted { Nothing, Leftover, HardLink, KeptOpenForWriting };
    struct Case {
        const char* name;
        Planted planted;
        bool created;
        const char* targetAfter;
    } cases[] = {
        {"nothing there", Planted::Nothing, true, "download"},
        {"a leftover", Planted::Leftover, true, "download"},
        {"a hard link to another file", Planted::HardLink, true, "download"},
        {"kept open for writing by another program", Planted::KeptOpenForWriting, false, "kept"},
    };
    const std::string target = m_temp / "google_toolbar_installer.exe";
    const std::string other = m_temp / "other.exe";
    for (const Case& c : cases) {
        WriteTextFile(other, "another file");
        UniqueFile keeper;
        DWORD count = 0;
        if (c.planted == Planted::Leftover) WriteTextFile(target, "leftover");
        if (c.planted == Planted::HardLink) {
            ASSERT_TRUE(::CreateHardLinkA(target.c_str(), other.c_str(), nullptr)) << c.name;
        }
        if (c.planted == Planted::KeptOpenForWriting) {
            keeper = KeepOpenForWriting(target);
            ASSERT_TRUE(keeper && ::WriteFile(keeper.Get(), "kept", 4, &count, nullptr)) << c.name;
        }

        UniqueFile written = CreateFileAfresh(target);
        EXPECT_EQ(c.created, static_cast<bool>(written)) << c.name;
        if (written) ::WriteFile(written.Get(), "download", 8, &count, nullptr);
        written.Reset();
        keeper.Reset();

        EXPECT_EQ("another file", ReadWholeFile(other)) << c.name;
        EXPECT_EQ(c.targetAfter, ReadWholeFile(target).substr(0, 16)) << c.name;
        ASSERT_TRUE(::DeleteFileA(target.c_str())) << c.name;
    }
}

// A temporary folder with blanks in its path: the installer still gets its
// own path as one argument.
TEST_F(PartnerInstallers, TargetPathWithBlanksIsQuoted) {
    const std::string spaced = m_temp / "Lokale Einstellungen";
    ASSERT_TRUE(::CreateDirectoryA(spaced.c_str(), nullptr));
    ::SetEnvironmentVariableA("TMP", spaced.c_str());
    FakeDownload download(kToolbarInstaller);
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
