#include <string>

#include <gtest/gtest.h>

#include "install/ViewerSettings.h"
#include "tests/wine/ScratchFolder.h"

namespace {

std::string Key(const std::string& file, const char* section, const char* key) {
    char value[260];
    ::GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, file.c_str());
    return value;
}

struct Settings {
    std::string skin, size, dll, lang, iniFolder;
};

Settings Read(const std::string& file) {
    return {Key(file, "Toolbar", "Skin"), Key(file, "Toolbar", "Size"), Key(file, "Language", "DLL"),
            Key(file, "Language", "Lang"), Key(file, "Others", "INI_Folder")};
}

TEST(WriteViewerSettings, SkinFollowsTheScreenWidth) {
    struct Case { int width; const char* skin; const char* size; } cases[] = {
        {800, "Quarto_16.png", "16"},
        {1024, "Quarto_16.png", "16"},
        {1280, "Vellum_24.png", "24"},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        // The folder as the driver got it: untrimmed, without its backslash.
        const std::string folder = scratch.Path().substr(0, scratch.Path().size() - 1) + "  ";
        WriteViewerSettingsForWidth(folder.c_str(), "", c.width);
        const Settings s = Read(scratch / "t_solo32.ini");
        EXPECT_EQ(c.skin, s.skin) << c.width;
        EXPECT_EQ(c.size, s.size) << c.width;
        EXPECT_EQ("DEUTSCH.DLL", s.dll);
        EXPECT_EQ("Deutsch", s.lang);
        EXPECT_EQ("<absent>", s.iniFolder);
    }
}

TEST(WriteViewerSettings, ExistingSkinKeepsItsSizeLanguageIsRewritten) {
    ScratchFolder scratch;
    const std::string file = scratch / "t_solo32.ini";
    WriteTextFile(file, "[Language]\r\nDLL=ENGLISH.DLL\r\nLang=English\r\n"
                        "[Toolbar]\r\nSkin=Mine.png\r\nSize=99\r\nOther=1\r\n");
    WriteViewerSettingsForWidth(scratch.Path().c_str(), "", 1280);
    const Settings s = Read(file);
    EXPECT_EQ("Mine.png", s.skin);
    EXPECT_EQ("99", s.size);
    EXPECT_EQ("DEUTSCH.DLL", s.dll);
    EXPECT_EQ("Deutsch", s.lang);
    EXPECT_EQ("1", Key(file, "Toolbar", "Other"));
}

TEST(WriteViewerSettings, IniFolderRedirectsTheSettings) {
    ScratchFolder scratch;
    ::SetEnvironmentVariableA("TESSOLO_ENGINE_TEST", scratch.Path().c_str());
    const std::string option = "%TESSOLO_ENGINE_TEST%User\\Settings";
    ::CreateDirectoryA((scratch / "Program").c_str(), nullptr);  // the driver made it
    WriteViewerSettingsForWidth((scratch / "Program").c_str(), option.c_str(), 1024);

    // The install folder's file holds only the redirect, unexpanded.
    const Settings program = Read(scratch / "Program\\t_solo32.ini");
    EXPECT_EQ(option, program.iniFolder);
    EXPECT_EQ("<absent>", program.dll);
    EXPECT_EQ("<absent>", program.skin);

    const Settings redirected = Read(scratch / "User\\Settings\\t_solo32.ini");
    EXPECT_EQ("DEUTSCH.DLL", redirected.dll);
    EXPECT_EQ("Quarto_16.png", redirected.skin);
    EXPECT_EQ("16", redirected.size);
    EXPECT_EQ("<absent>", redirected.iniFolder);
    ::SetEnvironmentVariableA("TESSOLO_ENGINE_TEST", nullptr);
}

TEST(WriteViewerSettings, IniFolderNamingNothingKeepsTheSettingsHome) {
    ScratchFolder scratch;
    ::SetEnvironmentVariableA("TESSOLO_ENGINE_TEST", scratch.Path().c_str());
    // Cut to a path buffer, a folder too long for its settings file would be
    // another folder, and the settings would not fit in it either.
    const std::string tooLong = "%TESSOLO_ENGINE_TEST%" + std::string(230, 'x');
    for (const std::string& option : {std::string("%TESSOLO_ENGINE_UNSET%"), tooLong}) {
        ::DeleteFileA((scratch / "t_solo32.ini").c_str());
        WriteViewerSettingsForWidth(scratch.Path().c_str(), option.c_str(), 1024);
        const Settings s = Read(scratch / "t_solo32.ini");
        EXPECT_EQ("DEUTSCH.DLL", s.dll) << option;
        EXPECT_EQ("<absent>", s.iniFolder) << option;
        EXPECT_EQ("t_solo32.ini", ListFolder(scratch.Path())) << option;
    }
    ::SetEnvironmentVariableA("TESSOLO_ENGINE_TEST", nullptr);
}

TEST(ExpandPercentVariables, ReadsTheEnvironment) {
    ::SetEnvironmentVariableA("TESSOLO_ENGINE_A", "C:\\Data");
    ::SetEnvironmentVariableA("TESSOLO_ENGINE_EMPTY", "");
    ::SetEnvironmentVariableA("TESSOLO_ENGINE_LONG", std::string(300, 'v').c_str());
    struct Case { const char* text; std::string expanded; } cases[] = {
        {"%TESSOLO_ENGINE_A%\\Tessolo", "C:\\Data\\Tessolo"},
        {"%TESSOLO_ENGINE_UNSET%\\Tessolo", "\\Tessolo"},
        {"x%TESSOLO_ENGINE_EMPTY%y", "xy"},
        {"%TESSOLO_ENGINE_LONG%", std::string(260, 'v')},  // values are cut at 260
    };
    for (const Case& c : cases) EXPECT_EQ(c.expanded, ExpandPercentVariables(c.text)) << c.text;
}

}  // namespace
