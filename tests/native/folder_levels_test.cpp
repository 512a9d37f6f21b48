#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "product/Limits.h"
#include "install/FolderLevels.h"
#include "install/ToolbarSkin.h"

namespace {

struct Rebuild {
    std::string rebuilt;
    std::vector<std::string> levels;
};

Rebuild RebuildOf(const std::string& path) {
    Rebuild result;
    char rebuilt[kMaxPath];
    std::memset(rebuilt, 'Z', sizeof rebuilt);
    RebuildFolderLevels(path.c_str(), rebuilt,
                        [&](const char* level) { result.levels.push_back(level); });
    result.rebuilt = rebuilt;
    return result;
}

TEST(FolderLevels, EveryLevelIsHandedOnInOrder) {
    struct Case {
        const char* path;
        const char* rebuilt;
        std::vector<std::string> levels;
    } cases[] = {
        {"C:\\A\\B\\", "C:\\A\\B\\", {"C:", "C:\\A", "C:\\A\\B"}},
        // Trailing spaces of every level go; inner spaces stay.
        {"C:\\My Apps  \\Tessolo \\", "C:\\My Apps\\Tessolo\\", {"C:", "C:\\My Apps", "C:\\My Apps\\Tessolo"}},
        // A level of spaces only collapses into its parent.
        {"C:\\A\\   \\B\\", "C:\\A\\B\\", {"C:", "C:\\A", "C:\\A\\", "C:\\A\\B"}},
        {"C:\\A\\\\B\\", "C:\\A\\B\\", {"C:", "C:\\A", "C:\\A\\", "C:\\A\\B"}},
        // Network paths keep their double backslash.
        {"\\\\srv\\share\\T\\", "\\\\srv\\share\\T\\", {"\\\\srv", "\\\\srv\\share", "\\\\srv\\share\\T"}},
        // A rooted path stays rooted rather than moving below the current directory.
        {"\\Apps\\T\\", "\\Apps\\T\\", {"\\Apps", "\\Apps\\T"}},
        {"Rel\\", "Rel\\", {"Rel"}},
    };
    for (const auto& c : cases) {
        const Rebuild r = RebuildOf(c.path);
        EXPECT_EQ(c.rebuilt, r.rebuilt) << c.path;
        EXPECT_EQ(c.levels, r.levels) << c.path;
    }
}

TEST(FolderLevels, LongestPathStaysInsideTheBuffer) {
    std::string path = "C:";
    while (path.size() < kMaxPath) path += "\\abcdefghi ";
    path.resize(kMaxPath - 2);
    path += "\\";
    const Rebuild r = RebuildOf(path);  // ASan checks the buffer
    EXPECT_LE(r.rebuilt.size(), path.size());
    EXPECT_EQ('\\', r.rebuilt.back());
}

TEST(FolderLevels, DrivesServersAndSharesAreNeverMade) {
    const struct {
        const char* level;
        bool root;
    } cases[] = {
        {"C:", true},
        {"\\\\srv", true},
        {"\\\\srv\\share", true},
        {"\\\\srv\\share\\T", false},
        {"C:\\A", false},
        {"C:\\A\\", false},
        {"\\Apps", false},
        {"Rel", false},
        {"C", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.root, IsDriveOrShareLevel(c.level)) << c.level;
}

TEST(ToolbarSkin, WiderThan1024GetsTheLargeSkin) {
    struct Case { int width; const char* skin; const char* size; } cases[] = {
        {800, "Quarto_16.png", "16"},
        {1024, "Quarto_16.png", "16"},
        {1025, "Vellum_24.png", "24"},
        {1280, "Vellum_24.png", "24"},
    };
    for (const Case& c : cases) {
        const ToolbarSkin s = ChooseToolbarSkin(c.width);
        EXPECT_STREQ(c.skin, s.skin) << c.width;
        EXPECT_STREQ(c.size, s.size) << c.width;
    }
}

}  // namespace
