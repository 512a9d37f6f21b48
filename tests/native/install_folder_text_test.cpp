#include "install/InstallFolderText.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "product/Limits.h"

namespace {

constexpr char kUntouched[] = "<untouched>";

// A path buffer with a guard byte behind it, so a write past the limit shows.
struct PathBuffer {
    char text[kMaxPath + 1];
    PathBuffer() {
        std::memset(text, '#', sizeof text);
        std::strcpy(text, kUntouched);
    }
    bool GuardIntact() const { return text[kMaxPath] == '#'; }
};

TEST(DefaultFolderFromProgramFiles, AddsTheProductFolderWithOneBackslash) {
    const struct {
        std::string programFiles;
        bool fits;
        std::string folder;
    } cases[] = {
        {"C:\\Programme", true, "C:\\Programme\\Tessolo"},
        {"D:\\", true, "D:\\Tessolo"},
        {"C:\\Program Files\\\\", true, "C:\\Program Files\\\\Tessolo"},
        {"", true, "\\Tessolo"},  // an empty value does not end in a backslash
        // The longest folders that still fit: 259 characters in all.
        {"C:\\" + std::string(248, 'p'), true, "C:\\" + std::string(248, 'p') + "\\Tessolo"},
        {"C:\\" + std::string(248, 'p') + "\\", true, "C:\\" + std::string(248, 'p') + "\\Tessolo"},
        {"C:\\" + std::string(249, 'p'), false, kUntouched},
        {"C:\\" + std::string(249, 'p') + "\\", false, kUntouched},
    };
    for (const auto& c : cases) {
        PathBuffer folder;
        EXPECT_EQ(c.fits, DefaultFolderFromProgramFiles(c.programFiles.c_str(), folder.text))
            << c.programFiles;
        EXPECT_EQ(c.folder, folder.text) << c.programFiles;
        EXPECT_TRUE(folder.GuardIntact()) << c.programFiles;
    }
}

TEST(FolderFromOpenCommand, TakesDriveAndDirectoryOfTheViewerPath) {
    const struct {
        const char* command;
        const char* folder;  // kUntouched: no earlier folder
    } cases[] = {
        {"\"C:\\Programme\\Tessolo\\t_solo32.exe\" \"%1\"", "C:\\Programme\\Tessolo\\"},
        {"\"D:\\Apps\\My Tessolo\\t_solo32.exe\"", "D:\\Apps\\My Tessolo\\"},
        // Without a closing quote the path runs to the end.
        {"\"C:\\Programme\\Tessolo\\t_solo32.exe %1", "C:\\Programme\\Tessolo\\"},
        // An unquoted command keeps its first character.
        {"C:\\Programme\\Tessolo\\t_solo32.exe \"%1\"", "C:\\Programme\\Tessolo\\"},
        // A drive without a directory.
        {"\"D:t_solo32.exe\" \"%1\"", "D:\\"},
        // Forward slashes end the directory too; the result still gets its backslash.
        {"\"C:/Apps/t_solo32.exe\"", "C:/Apps/\\"},
        {"\"\\\\server\\share\\Tessolo\\t_solo32.exe\"", "\\\\server\\share\\Tessolo\\"},
        // Without drive or UNC root the folder would depend on the current
        // directory: no earlier installation.
        {"\"t_solo32.exe\" \"%1\"", kUntouched},
        {"\"\\Programme\\Tessolo\\t_solo32.exe\" \"%1\"", kUntouched},
        {"\"Apps\\Tessolo\\t_solo32.exe\" \"%1\"", kUntouched},
        {"\"", kUntouched},
        {"\"\" \"C:\\x\\y.exe\"", kUntouched},
    };
    for (const auto& c : cases) {
        PathBuffer folder;
        EXPECT_EQ(c.folder != kUntouched, FolderFromOpenCommand(c.command, folder.text)) << c.command;
        EXPECT_STREQ(c.folder, folder.text) << c.command;
    }
}

TEST(FolderFromOpenCommand, NeverWritesPastThePathBuffer) {
    // The longest command a path buffer holds: 259 characters.
    const std::string directory = "C:\\" + std::string(253, 'd');
    const struct {
        std::string command;
        bool fits;
        std::string folder;
    } cases[] = {
        {"\"" + directory + "\\x", true, directory + "\\"},
        {directory + "\\xy", true, directory + "\\"},
        {directory + "xy/", false, kUntouched},  // ends in a slash: no room for the backslash
    };
    for (const auto& c : cases) {
        ASSERT_EQ(static_cast<size_t>(kMaxPath - 1), c.command.size());
        PathBuffer folder;
        EXPECT_EQ(c.fits, FolderFromOpenCommand(c.command.c_str(), folder.text));
        EXPECT_EQ(c.folder, folder.text);
        EXPECT_TRUE(folder.GuardIntact());
    }
}

TEST(NeedsCurrentDirectory, OnlyFoldersBelowACurrentDirectory) {
    const struct {
        const char* folder;
        bool needs;
    } cases[] = {
        {"Apps\\Tessolo", true},
        {"\\Apps\\Tessolo", true},
        // Below the current directory of drive C:, not below its root.
        {"C:Apps\\Tessolo", true},
        {"c:.\\Apps", true},
        {"C:..\\Apps", true},
        {"C:\\Apps\\Tessolo", false},
        {"C:/Apps", false},
        // A bare drive is its root once it has its backslash.
        {"D:", false},
        {"D:\\", false},
        {"\\\\server\\share\\Tessolo", false},
        {"//server/share", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.needs, NeedsCurrentDirectory(c.folder)) << c.folder;
}

}  // namespace
