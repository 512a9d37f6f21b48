// What the setup starts for the user (viewer, FAQ page, partner browser)
// goes through the desktop shell only from Vista on, and the shell really
// starts it (Wine's desktop offers the route); on 9x, 2000 and XP this
// process starts it, as before, without asking the shell.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "framework/DesktopShellExecute.h"
#include "install/OsFamilyQuery.h"
#include "tests/wine/ImportHook.h"

namespace {

struct ReportedVersion {
    DWORD platform, major, minor;
};
ReportedVersion g_version = {};
extern "C" decltype(&::GetVersionExA) versionSlot IMPORT_SLOT(GetVersionExA, 4);
const auto realVersion = versionSlot;
BOOL WINAPI ReportVersion(LPOSVERSIONINFOA info) {
    const BOOL answered = realVersion(info);
    info->dwPlatformId = g_version.platform;
    info->dwMajorVersion = g_version.major;
    info->dwMinorVersion = g_version.minor;
    return answered;
}

int g_shellWindowsAsked = 0;
extern "C" decltype(&::CoCreateInstance) createSlot IMPORT_SLOT(CoCreateInstance, 20);
const auto realCreate = createSlot;
HRESULT WINAPI CreateNoted(REFCLSID id, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out) {
    if (IsEqualCLSID(id, CLSID_ShellWindows)) ++g_shellWindowsAsked;
    return realCreate(id, outer, context, iid, out);
}

// Started by this process: recorded, nothing runs.
std::vector<std::string> g_startedHere;
extern "C" decltype(&::ShellExecuteA) executeSlot IMPORT_SLOT(ShellExecuteA, 24);
HINSTANCE WINAPI ExecuteNoted(HWND, LPCSTR, LPCSTR file, LPCSTR parameters, LPCSTR, INT) {
    g_startedHere.push_back(std::string(file) + " " + (parameters ? parameters : ""));
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != 0xFFFFFFFF; }

// The shell starts the program on its own time: wait for what it leaves.
bool WaitForFile(const std::string& path) {
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 60000; ::Sleep(100)) {
        if (Exists(path)) return true;
    }
    return false;
}

}  // namespace

TEST(DesktopShellExecute, OnlyVistaAndLaterAskTheDesktopShell) {
    ImportHook<decltype(&::GetVersionExA)> version(versionSlot, ReportVersion);
    ImportHook<decltype(&::CoCreateInstance)> create(createSlot, CreateNoted);
    ImportHook<decltype(&::ShellExecuteA)> execute(executeSlot, ExecuteNoted);
    struct Case {
        const char* name;
        ReportedVersion version;
        bool asksShell;
    } cases[] = {
        {"98 SE", {VER_PLATFORM_WIN32_WINDOWS, 4, 10}, false},
        {"2000", {VER_PLATFORM_WIN32_NT, 5, 0}, false},
        {"XP", {VER_PLATFORM_WIN32_NT, 5, 1}, false},
        {"Vista", {VER_PLATFORM_WIN32_NT, 6, 0}, true},
        {"10", {VER_PLATFORM_WIN32_NT, 10, 0}, true},
    };
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    const std::string commandShell = std::string(system) + "\\cmd.exe";
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    for (const Case& c : cases) {
        g_version = c.version;
        g_shellWindowsAsked = 0;
        g_startedHere.clear();
        // A program that leaves a file and ends by itself.
        const std::string marker = std::string(temp) + "shell-route-" +
                                   std::to_string(::GetCurrentProcessId()) + ".txt";
        ::DeleteFileA(marker.c_str());
        const std::string parameters = "/c echo started>\"" + marker + "\"";
        const LaunchRoute route = ShellExecuteAsSignedInUser(
            IsVistaOrLater(), nullptr, commandShell.c_str(), parameters.c_str(), temp, SW_HIDE);
        EXPECT_EQ(c.asksShell, g_shellWindowsAsked == 1) << c.name;
        if (c.asksShell) {
            EXPECT_EQ(LaunchRoute::DesktopShell, route) << c.name;
            EXPECT_TRUE(g_startedHere.empty()) << c.name;
            EXPECT_TRUE(WaitForFile(marker)) << c.name << ": the shell started nothing";
        } else {
            EXPECT_EQ(LaunchRoute::ThisProcess, route) << c.name;
            EXPECT_EQ(std::vector<std::string>{commandShell + " " + parameters}, g_startedHere)
                << c.name;
        }
        ::DeleteFileA(marker.c_str());
    }
}
