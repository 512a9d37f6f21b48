#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "install/InstallOptions.h"

namespace {

InstallOptions Parse(const std::string& commandLine, const char* defaultFolder = "C:\\Default\\") {
    InstallOptions options;
    std::strcpy(options.installFolder, defaultFolder);
    ApplySilentOptions(commandLine.c_str(), options);
    return options;
}

int SelectedRows(const InstallOptions& options) {
    int count = 0;
    for (int flag : options.fileTypeSelection) count += flag != 0;
    return count;
}

TEST(SilentSwitch, IsACaseSensitiveSubstring) {
    EXPECT_TRUE(IsSilentCommandLine("setup.exe /silent"));
    EXPECT_TRUE(IsSilentCommandLine("setup.exe /silently"));
    EXPECT_TRUE(IsSilentCommandLine("\"C:\\x/silent\\setup.exe\""));
    EXPECT_FALSE(IsSilentCommandLine("setup.exe /Silent"));
    EXPECT_FALSE(IsSilentCommandLine("setup.exe"));
}

TEST(StripValueQuotes, Table) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"\"D:\\Apps\\Tessolo\" ", "D:\\Apps\\Tessolo"},
        {"  C:\\x  ", "  C:\\x"},          // leading spaces stay
        {"\"", ""},
        {"", ""},
        {"\"a b\"  ", "a b"},
        {"\" a \"", " a"},                // inner trailing space goes too
        {"abc\"", "abc"},
        {"\"abc", "abc"},
    };
    for (const Case& c : cases) {
        char buffer[64];
        std::strcpy(buffer, c.in);
        StripValueQuotes(buffer);
        EXPECT_STREQ(c.out, buffer) << "input [" << c.in << "]";
    }
}

TEST(ExtractOptionValue, StopsAtSlashEndOrLimit) {
    char value[kOptionValueLimit];
    const char* text = "/folder=C:/Apps /desktop=1";
    const char* stop = ExtractOptionValue(text, value, 8, kOptionValueLimit);
    EXPECT_STREQ("C:", value);
    EXPECT_EQ('/', *stop);

    ExtractOptionValue("/group=12", value, 7, kOptionValueLimit);
    EXPECT_STREQ("12", value);

    // The limit counts from the option name's first character.
    std::string longValue = "/folder=" + std::string(400, 'x');
    ExtractOptionValue(longValue.c_str(), value, 8, kOptionValueLimit);
    EXPECT_EQ(252u, std::strlen(value));
}

TEST(SilentOptions, QuotedFolderThenAnotherOption) {
    InstallOptions o = Parse("setup.exe /silent /folder=\"D:\\My Apps\\Tessolo\" /desktop=1");
    EXPECT_STREQ("D:\\My Apps\\Tessolo", o.installFolder);
    EXPECT_EQ(1, o.desktopShortcut);
}

TEST(SilentOptions, DefaultsWhenAbsent) {
    InstallOptions o = Parse("setup.exe /silent");
    EXPECT_STREQ("C:\\Default\\", o.installFolder);
    EXPECT_EQ(0, o.startMenuShortcut + o.desktopShortcut + o.thumbnailsShortcut + o.allUsersShortcuts);
    EXPECT_EQ(0, o.associateFiles);
    EXPECT_EQ(0, o.assocAllUsers);
    EXPECT_STREQ("", o.iniFolder);
    EXPECT_EQ(0, SelectedRows(o));
}

TEST(SilentOptions, ForwardSlashFolderKeepsOnlyTheDrive) {
    EXPECT_STREQ("C:", Parse("s /silent /folder=C:/Apps/Tessolo").installFolder);
}

TEST(SilentOptions, AssocSelectsImageRowsAllRowsOrNothing) {
    InstallOptions images = Parse("s /silent /assoc=1");
    EXPECT_EQ(ImageTypeCount, SelectedRows(images));
    EXPECT_EQ(1, images.fileTypeSelection[ImageTypeCount - 1]);
    EXPECT_EQ(0, images.fileTypeSelection[ImageTypeCount]);
    EXPECT_EQ(1, images.associateFiles);

    InstallOptions all = Parse("s /silent /assoc=2");
    EXPECT_EQ(FileTypeCount, SelectedRows(all));
    EXPECT_EQ(1, all.associateFiles);

    for (const char* other : {"s /silent /assoc=3", "s /silent /assoc=0", "s /silent /assoc=x"}) {
        InstallOptions none = Parse(other);
        EXPECT_EQ(0, SelectedRows(none)) << other;
        EXPECT_EQ(0, none.associateFiles) << other;
    }
}

TEST(SilentOptions, AssocAllUsersAloneSelectsNoType) {
    InstallOptions o = Parse("s /silent /assocallusers");
    EXPECT_EQ(1, o.assocAllUsers);
    EXPECT_EQ(0, o.associateFiles);
    EXPECT_EQ(0, SelectedRows(o));
}

TEST(SilentOptions, FirstOccurrenceWins) {
    EXPECT_EQ(1, Parse("s /silent /desktop=1 /desktop=0").desktopShortcut);
    EXPECT_STREQ("D:\\A", Parse("s /silent /folder=D:\\A /folder=E:\\B").installFolder);
}

TEST(SilentOptions, NumbersFollowAtoi) {
    EXPECT_EQ(2, Parse("s /silent /group=2").startMenuShortcut);
    EXPECT_EQ(7, Parse("s /silent /thumbs=  7x").thumbnailsShortcut);
    EXPECT_EQ(-3, Parse("s /silent /allusers=-3").allUsersShortcuts);
    EXPECT_EQ(0, Parse("s /silent /group=yes").startMenuShortcut);
    // A name followed by a space instead of "=" is not the option.
    EXPECT_EQ(0, Parse("s /silent /desktop 1").desktopShortcut);
}

TEST(SilentOptions, IniValueKeepsPercentSigns) {
    EXPECT_STREQ("%APPDATA%\\Tessolo", Parse("s /silent /ini=\"%APPDATA%\\Tessolo\"").iniFolder);
}

TEST(SilentOptions, OnlyTheFirst520BytesAreSeen) {
    // An option that starts beyond the cut is not seen...
    std::string padding(530, 'p');
    EXPECT_EQ(0, Parse("s /silent " + padding + " /desktop=1").desktopShortcut);
    // ...and a value that runs over the cut ends there.
    std::string head = "s /silent " + std::string(400, 'p') + " /folder=";
    InstallOptions o = Parse(head + std::string(200, 'f'));
    EXPECT_EQ(kCommandLineCopyBytes - 1 - head.size(), std::strlen(o.installFolder));
    // A value that starts just before the cut keeps only what fits: the
    // copy holds 519 characters, so of "/group=12" at 511 the "2" is lost.
    std::string line = std::string(511, 'q') + "/group=12";
    EXPECT_EQ(1, Parse(line).startMenuShortcut);
}

}  // namespace
