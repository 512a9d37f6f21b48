#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "product/Limits.h"
#include "framework/Handles.h"
#include "install/Probes.h"
#include "install/VersionRule.h"
#include "tests/wine/ScratchFolder.h"

namespace {

std::string OwnExePath() {
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST(ReadFileVersion, WithoutAVersionResourceTouchesNothing) {
    ScratchFolder scratch;
    WriteTextFile(scratch / "plain.dll", "not a program");
    for (const std::string& path : {scratch / "missing.dll", scratch / "plain.dll", std::string()}) {
        char version[kVersionTextSize] = "keep";
        char company[kMaxPath] = "keep";
        EXPECT_EQ(-1, ReadFileVersion(path.c_str(), version, company)) << path;
        EXPECT_STREQ("keep", version) << path;
        EXPECT_STREQ("keep", company) << path;
    }
}

TEST(ReadFileVersion, ReadsVersionTextAndCompany) {
    // The setup's version block: product and file version 4.30.0.0, a German
    // and an English (040904E4) string table.
    char version[kVersionTextSize] = "";
    char company[kMaxPath] = "stale";
    EXPECT_EQ(1, ReadFileVersion(OwnExePath().c_str(), version, company));
    EXPECT_STREQ("4.300", version);
    EXPECT_STREQ("Corvin Halden", company);
    EXPECT_EQ(1, ReadFileVersion(OwnExePath().c_str(), version, nullptr));
}

TEST(ReadFileVersion, OtherLanguageBlockOnlyGivesAnEmptyCompany) {
    // The system's own libraries carry their strings in a Unicode (04B0) block.
    char system[MAX_PATH];
    ::GetSystemDirectoryA(system, MAX_PATH);
    char version[kVersionTextSize] = "";
    char company[kMaxPath] = "stale";
    EXPECT_EQ(1, ReadFileVersion((std::string(system) + "\\kernel32.dll").c_str(), version, company));
    EXPECT_STRNE("", version);
    EXPECT_STREQ("", company);
}

TEST(FileSizeOf, Table) {
    ScratchFolder scratch;
    WriteTextFile(scratch / "empty", "");
    WriteTextFile(scratch / "five", "12345");
    WriteTextFile(scratch / "locked", "123");
    UniqueFile holder(::CreateFileA((scratch / "locked").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    struct Case { std::string path; int size; } cases[] = {
        {"", 0},
        {scratch / "missing", 0},
        {scratch / "empty", 0},
        {scratch / "five", 5},
        {scratch / "locked", 0},   // cannot be opened for reading
        {scratch.Path(), 0},       // a folder
    };
    for (const Case& c : cases) EXPECT_EQ(c.size, FileSizeOf(c.path.c_str())) << c.path;
}

TEST(IsWindows9x, FalseOnTheNtFamily) { EXPECT_FALSE(IsWindows9x()); }

TEST(ReadRegistryString, ReadsOnlyWhatFits) {
    constexpr char kKey[] = "Software\\TessoloEngineTest";
    UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyA(HKEY_CURRENT_USER, kKey, key.Put()));
    ::RegSetValueExA(key.Get(), "Short", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 4);
    ::RegSetValueExA(key.Get(), "Exact", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdefg"), 8);
    ::RegSetValueExA(key.Get(), "Long", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdefghij"), 11);
    ::RegSetValueExA(key.Get(), "Unended", 0, REG_BINARY, reinterpret_cast<const BYTE*>("abcdefgh"), 8);
    struct Case { const char* subkey; const char* name; int result; const char* text; DWORD size; } cases[] = {
        {kKey, "Short", 1, "abc", 4},
        {kKey, "Exact", 1, "abcdefg", 8},  // fills the buffer, terminator included
        {kKey, "Long", 0, "", 8},
        {kKey, "Unended", 0, "", 8},      // fills the buffer with no terminator
        {kKey, "Missing", 0, "", 8},
        {"Software\\NoSuchKeyHere", "Short", 0, "", 8},
    };
    for (const Case& c : cases) {
        char buffer[8];
        std::memset(buffer, 'x', sizeof buffer);
        DWORD size = sizeof buffer;
        EXPECT_EQ(c.result, ReadRegistryString(HKEY_CURRENT_USER, c.subkey, c.name, buffer, &size))
            << c.name;
        EXPECT_STREQ(c.text, buffer) << c.name;
        EXPECT_EQ(c.size, size) << c.name;
    }
    key.Reset();
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

}  // namespace
