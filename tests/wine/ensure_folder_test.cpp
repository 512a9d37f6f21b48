#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "product/Limits.h"
#include "install/Folders.h"
#include "tests/wine/ScratchFolder.h"

namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct Outcome {
    int result;
    std::string path;
};

Outcome Ensure(const std::string& text) {
    char path[kMaxPath];
    std::strcpy(path, text.c_str());
    const std::string before = CurrentDirectory();
    const int result = EnsureFolderExists(path);
    EXPECT_EQ(before, CurrentDirectory()) << "current directory after " << text;
    return {result, path};
}

TEST(EnsureFolderExists, CreatesAndNormalises) {
    ScratchFolder scratch;
    const std::string base = scratch.Path();
    struct Case {
        std::string in;
        std::string out;       // the text afterwards
        std::string created;   // a folder that must exist afterwards
    } cases[] = {
        {base + "A\\B\\C", base + "A\\B\\C\\", base + "A\\B\\C"},
        {"  " + base + "D  ", base + "D\\", base + "D"},
        // Trailing spaces of every level are dropped when creating.
        {base + "E  \\F G \\H", base + "E\\F G\\H\\", base + "E\\F G\\H"},
        // An existing folder only gains its backslash.
        {base + "A\\B", base + "A\\B\\", base + "A\\B"},
        {base, base, base},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Ensure(c.in);
        EXPECT_EQ(1, outcome.result) << c.in;
        EXPECT_EQ(c.out, outcome.path) << c.in;
        EXPECT_TRUE(IsFolder(c.created)) << c.created;
    }
    // The levels are stored without their trailing spaces.
    EXPECT_EQ("A,D,E", ListFolder(base));
    EXPECT_EQ("F G", ListFolder(base + "E\\"));
}

TEST(EnsureFolderExists, FailsWithoutChangingTheCurrentDirectory) {
    ScratchFolder scratch;
    WriteTextFile(scratch / "file", "x");
    struct Case { std::string in; std::string out; } cases[] = {
        {"", ""},
        {"     ", ""},
        {scratch / "file\\below", scratch / "file\\below\\"},   // a file is in the way
        {"Q:\\Nowhere\\Tessolo", "Q:\\Nowhere\\Tessolo\\"},    // no such drive
        // A network path keeps its leading double backslash.
        {"\\\\no-such-server\\share\\Tessolo ", "\\\\no-such-server\\share\\Tessolo\\"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Ensure(c.in);
        EXPECT_EQ(0, outcome.result) << c.in;
        EXPECT_EQ(c.out, outcome.path) << c.in;
    }
}

TEST(EnsureFolderExists, CurrentDirectoryIsKeptAfterEnteringTheFolder) {
    ScratchFolder scratch;
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch.Path().c_str()));
    const std::string inside = CurrentDirectory();
    EXPECT_EQ(1, Ensure(scratch / "New\\Level").result);
    EXPECT_EQ(inside, CurrentDirectory());
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    ::SetCurrentDirectoryA(temp);  // lets the scratch folder go
}

}  // namespace
