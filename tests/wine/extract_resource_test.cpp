#include <string>

#include <gtest/gtest.h>

#include "framework/Handles.h"
#include "install/ExtractResource.h"
#include "tests/wine/ScratchFolder.h"

namespace {

// The first string-table block (strings 0 to 15) is in every build of the
// setup and of these tests.
constexpr WORD kBlockId = 1;
const LPCSTR kBlockType = MAKEINTRESOURCEA(6);  // string table
constexpr WORD kMissingId = 0x7FF1;

std::string ResourceBytes() {
    const HRSRC info = ::FindResourceA(nullptr, MAKEINTRESOURCEA(kBlockId), kBlockType);
    const void* bytes = ::LockResource(::LoadResource(nullptr, info));
    return std::string(static_cast<const char*>(bytes), ::SizeofResource(nullptr, info));
}

TEST(ExtractResourceToFile, WritesTheBytesArchiveOnly) {
    ScratchFolder scratch;
    struct Case { const char* why; const char* oldBytes; DWORD oldAttributes; } cases[] = {
        {"new file", nullptr, 0},
        {"longer old file", "0123456789012345678901234567890123456789012345678901234567890123456789"
                            "0123456789012345678901234567890123456789012345678901234567890123456789",
         FILE_ATTRIBUTE_NORMAL},
        {"read-only, hidden, system", "old", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                 FILE_ATTRIBUTE_SYSTEM},
    };
    for (const Case& c : cases) {
        const std::string target = scratch / "t_solo32.exe";
        ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(target.c_str());
        if (c.oldBytes) {
            WriteTextFile(target, c.oldBytes);
            ::SetFileAttributesA(target.c_str(), c.oldAttributes);
        }
        EXPECT_EQ(1, ExtractResourceToFile(target.c_str(), kBlockId, kBlockType)) << c.why;
        EXPECT_EQ(ResourceBytes(), ReadWholeFile(target)) << c.why;
        EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), ::GetFileAttributesA(target.c_str()))
            << c.why;
        EXPECT_EQ("t_solo32.exe", ListFolder(scratch.Path())) << c.why << ": something left behind";
    }
}

TEST(ExtractResourceToFile, FileHeldOpenElsewhereFailsAndStaysIntact) {
    ScratchFolder scratch;
    const std::string target = scratch / "t_solo32.exe";
    // A running viewer holds its exe; a reader that shares everything still
    // keeps the file in use.
    for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ},
                        DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
        WriteTextFile(target, "running");
        UniqueFile holder(::CreateFileA(target.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(0, ExtractResourceToFile(target.c_str(), kBlockId, kBlockType)) << share;
        holder.Reset();
        EXPECT_EQ("running", ReadWholeFile(target)) << share;
        EXPECT_EQ("t_solo32.exe", ListFolder(scratch.Path())) << share << ": temporary file left";
    }
}

TEST(ExtractResourceToFile, NothingToWriteLeavesNothing) {
    ScratchFolder scratch;
    // A missing resource: no file appears, an existing one is kept.
    EXPECT_EQ(0, ExtractResourceToFile((scratch / "a.dll").c_str(), kMissingId, "DLL"));
    EXPECT_EQ("", ListFolder(scratch.Path()));
    WriteTextFile(scratch / "b.dll", "good");
    EXPECT_EQ(0, ExtractResourceToFile((scratch / "b.dll").c_str(), kMissingId, "DLL"));
    EXPECT_EQ("good", ReadWholeFile(scratch / "b.dll"));
    // A folder that does not exist.
    EXPECT_EQ(0, ExtractResourceToFile((scratch / "Missing\\c.dll").c_str(), kBlockId, kBlockType));
    EXPECT_EQ("b.dll", ListFolder(scratch.Path()));
}

}  // namespace
