#include "wizard/FolderRules.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "product/Limits.h"

namespace {

struct AppendCase {
    const char* chosen;
    const char* expected;
};

class AppendProductFolderTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(AppendProductFolderTest, AddsProductFolderOnlyWhereItIsMissing) {
    char path[kMaxPath] = {};
    std::strcpy(path, GetParam().chosen);
    AppendProductFolder(path);
    EXPECT_STREQ(GetParam().expected, path);
}

INSTANTIATE_TEST_SUITE_P(
    BrowseButton, AppendProductFolderTest,
    ::testing::Values(
        AppendCase{"D:\\Apps\\", "D:\\Apps\\Tessolo\\"},
        AppendCase{"D:\\Apps", "D:\\Apps\\Tessolo\\"},
        AppendCase{"D:\\", "D:\\Tessolo\\"},
        AppendCase{"D:", "D:\\Tessolo\\"},  // becomes a root once it has its backslash
        AppendCase{"D:\\Apps\\TESSOLO", "D:\\Apps\\TESSOLO\\"},
        AppendCase{"D:\\Tessolo", "D:\\Tessolo\\"},
        AppendCase{"D:\\tessolo\\", "D:\\tessolo\\"},
        AppendCase{"D:\\Tessolo2\\", "D:\\Tessolo2\\Tessolo\\"},
        AppendCase{"D:\\My Tessolo\\", "D:\\My Tessolo\\Tessolo\\"},
        AppendCase{"D:\\Tessolo\\Sub\\", "D:\\Tessolo\\Sub\\Tessolo\\"},
        // Only a backslash beyond the first character counts as a component start.
        AppendCase{"\\Apps\\", "\\Apps\\"},
        AppendCase{"\\\\server\\share\\", "\\\\server\\share\\Tessolo\\"}));

TEST(AppendProductFolder, NeverWritesPastThePathBuffer) {
    const struct {
        size_t length;
        const char* tail;
        bool appended;
    } cases[] = {
        {kMaxPath - 1 - 8, "\\", true},   // exactly fits "Tessolo\"
        {kMaxPath - 1 - 7, "\\", false},  // one byte short
        {kMaxPath - 1, "", false},        // no room even for the backslash
    };
    for (const auto& c : cases) {
        char path[kMaxPath + 16];
        std::memset(path, '#', sizeof path);
        std::string text = "D:\\";
        text += std::string(c.length - text.size() - std::strlen(c.tail), 'a');
        text += c.tail;
        std::memcpy(path, text.c_str(), text.size() + 1);
        AppendProductFolder(path);
        EXPECT_LT(std::strlen(path), static_cast<size_t>(kMaxPath)) << c.length;
        EXPECT_EQ(c.appended, std::string(path).size() > c.length + 1) << c.length;
        EXPECT_EQ('#', path[kMaxPath]) << "guard byte overwritten for length " << c.length;
    }
}

TEST(BrowseStartSelection, DropsTheFinalBackslashExceptOnDriveRoots) {
    const struct {
        const char* field;
        const char* selection;
    } cases[] = {
        {"C:\\Programme\\Tessolo\\", "C:\\Programme\\Tessolo"},
        {"C:\\Programme\\Tessolo", "C:\\Programme\\Tessolo"},
        {"C:\\", "C:\\"},
        {"C:", "C:"},
        {"", ""},
        {"D:\\a\\", "D:\\a"},
    };
    for (const auto& c : cases) {
        char selection[kMaxPath];
        BrowseStartSelection(c.field, selection);
        EXPECT_STREQ(c.selection, selection) << c.field;
    }
}

TEST(BrowseStartSelection, CutsOverlongFieldsToThePathLimit) {
    const std::string field(400, 'x');
    char selection[kMaxPath];
    BrowseStartSelection(field.c_str(), selection);
    EXPECT_EQ(static_cast<size_t>(kMaxPath - 1), std::strlen(selection));
}

TEST(HasDrivePart, AcceptsOnlyTextsWhoseSecondCharacterIsAColon) {
    const struct {
        const char* field;
        bool accepted;
    } cases[] = {
        {"D:", true},
        {"D:\\Apps\\Tessolo", true},
        {"c:relative", true},
        {"Tessolo", false},
        {"", false},
        {" D:\\Apps", false},  // the test looks at the text as typed
        {"\\\\server\\share", false},
        {"D", false},
        {":", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.accepted, HasDrivePart(c.field)) << '"' << c.field << '"';
}

TEST(IsSameFolder, IgnoresCaseAndOneFinalBackslash) {
    const struct {
        const char* first;
        const char* second;
        bool same;
    } cases[] = {
        {"C:\\Program Files\\Tessolo", "C:\\Program Files\\Tessolo\\", true},
        {"C:\\Program Files\\Tessolo", "c:\\program files\\TESSOLO", true},
        {"C:\\Tessolo\\", "C:\\Tessolo\\", true},
        {"C:\\Tessolo\\", "C:\\Tessolo\\\\", false},
        {"C:\\Program Files\\Tessolo", "C:\\Program Files\\Tessolo2", false},
        {"C:\\Program Files\\Tessolo", "D:\\Program Files\\Tessolo", false},
        {"", "\\", true},
        {"C:\\Tessolo", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.same, IsSameFolder(c.first, c.second)) << c.first << " | " << c.second;
        EXPECT_EQ(c.same, IsSameFolder(c.second, c.first)) << c.second << " | " << c.first;
    }
}

}  // namespace
