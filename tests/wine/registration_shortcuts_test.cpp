// The shortcut routines' own contract: what they return and where the
// folders come from. (What the links hold is read back by the end-to-end
// tests of a whole install.)
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include <gtest/gtest.h>

#include "product/Limits.h"
#include "framework/Handles.h"
#include "install/Shortcuts.h"

namespace {

// A fresh folder under the temporary folder, ending in a backslash.
std::string MakeScratchFolder(const char* name) {
    char temp[kMaxPath];
    ::GetTempPathA(kMaxPath, temp);
    std::string folder = std::string(temp) + name + "\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// Target and arguments of a saved link, "" when it cannot be loaded.
std::string LinkTargetAndArguments(const std::string& path) {
    ComScope com;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    WCHAR widePath[kMaxPath];
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, kMaxPath);
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.Put()))) ||
        FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))) ||
        FAILED(file.Get()->Load(widePath, STGM_READ))) {
        return "";
    }
    char target[kMaxPath] = {}, arguments[kMaxPath] = {};
    link.Get()->GetPath(target, kMaxPath, nullptr, SLGP_RAWPATH);
    link.Get()->GetArguments(arguments, kMaxPath);
    return std::string(target) + "|" + arguments;
}

TEST(CreateGroupShortcut, ReportsWhetherTheLinkWasSaved) {
    const std::string folder = MakeScratchFolder("registration-links");
    const std::string missing = folder + "missing\\";
    struct Case {
        const char* what;
        std::string folder;
        const char* arguments;
        int expected;
        const char* readBack;
    } cases[] = {
        {"new link", folder, nullptr, 1, "C:\\Viewer\\t_solo32.exe|"},
        {"same name again overwrites", folder, "/thumbs", 1, "C:\\Viewer\\t_solo32.exe|/thumbs"},
        {"folder that does not exist", missing, nullptr, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, CreateGroupShortcut(c.folder.c_str(), "Probe.lnk",
                                                  "C:\\Viewer\\t_solo32.exe", c.arguments,
                                                  nullptr, 0))
            << c.what;
        EXPECT_EQ(c.readBack, LinkTargetAndArguments(c.folder + "Probe.lnk")) << c.what;
    }
    // A link path beyond the path limit is refused rather than cut short.
    EXPECT_EQ(0, CreateGroupShortcut(folder.c_str(), std::string(kMaxPath, 'x').c_str(),
                                     "C:\\Viewer\\t_solo32.exe", nullptr, nullptr, 0));
}

TEST(GetSpecialFolderPath, EndsInABackslashAndFallsBackToTheWindowsFolder) {
    char windows[kMaxPath];
    ::GetWindowsDirectoryA(windows, kMaxPath);
    const std::string windowsFolder = std::string(windows) + "\\";
    struct Case {
        int folderId;
        bool fallback;
    } cases[] = {
        {CSIDL_DESKTOP, false},
        {CSIDL_PROGRAMS, false},
        {CSIDL_COMMON_PROGRAMS, false},
        {CSIDL_COMMON_DESKTOPDIRECTORY, false},
        {0x7e, true},  // no such shell folder
    };
    for (const Case& c : cases) {
        char path[kMaxPath];
        GetSpecialFolderPath(path, c.folderId);
        const std::string text = path;
        ASSERT_FALSE(text.empty()) << c.folderId;
        EXPECT_EQ('\\', text.back()) << c.folderId;
        EXPECT_EQ(std::string::npos, text.find("\\\\")) << text;
        EXPECT_EQ(c.fallback, text == windowsFolder) << c.folderId << " " << text;
    }
}

}  // namespace
