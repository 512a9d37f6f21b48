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

// The answer of Windows 9x, which has no replacing rename.
BOOL WINAPI MoveFileExNotImplemented(LPCSTR, LPCSTR, DWORD) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// Puts a rename in place of the real one for one scope.
class RenameAnswer {
public:
    explicit RenameAnswer(BOOL(WINAPI* rename)(LPCSTR, LPCSTR, DWORD))
        : m_saved(MoveFileExForReplace) {
        MoveFileExForReplace = rename;
    }
    ~RenameAnswer() { MoveFileExForReplace = m_saved; }

private:
    BOOL(WINAPI* m_saved)(LPCSTR, LPCSTR, DWORD);
};

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
    for (auto rename : {MoveFileExForReplace, &MoveFileExNotImplemented}) {
        const RenameAnswer answer(rename);
        const char* const system = rename == &MoveFileExNotImplemented ? "9x" : "NT";
        for (const Case& c : cases) {
            const std::string target = scratch / "t_solo32.exe";
            ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(target.c_str());
            if (c.oldBytes) {
                WriteTextFile(target, c.oldBytes);
                ::SetFileAttributesA(target.c_str(), c.oldAttributes);
            }
            EXPECT_EQ(1, ExtractResourceToFile(target.c_str(), kBlockId, kBlockType))
                << system << ", " << c.why;
            EXPECT_EQ(ResourceBytes(), ReadWholeFile(target)) << system << ", " << c.why;
            EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE),
                      ::GetFileAttributesA(target.c_str()))
                << system << ", " << c.why;
            EXPECT_EQ("t_solo32.exe", ListFolder(scratch.Path()))
                << system << ", " << c.why << ": something left behind";
        }
    }
}

TEST(ExtractResourceToFile, FileHeldOpenElsewhereIsWrittenInPlaceOnlyWithWriteSharing) {
    ScratchFolder scratch;
    const std::string target = scratch / "t_solo32.exe";
    // Longer than the new bytes: an in-place write must not leave a tail.
    const std::string old(4096, 'o');
    // A running viewer holds its exe without write sharing; a scanner or an
    // indexer reads with every sharing.
    const struct {
        DWORD share;
        int result;
    } cases[] = {
        {0, 0},
        {FILE_SHARE_READ, 0},
        {FILE_SHARE_READ | FILE_SHARE_DELETE, 0},
        {FILE_SHARE_READ | FILE_SHARE_WRITE, 1},
        {FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 1},
    };
    for (const auto& c : cases) {
        WriteTextFile(target, old);
        UniqueFile holder(::CreateFileA(target.c_str(), GENERIC_READ, c.share, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(c.result, ExtractResourceToFile(target.c_str(), kBlockId, kBlockType)) << c.share;
        holder.Reset();
        EXPECT_EQ(c.result ? ResourceBytes() : old, ReadWholeFile(target)) << c.share;
        EXPECT_EQ("t_solo32.exe", ListFolder(scratch.Path())) << c.share << ": temporary file left";
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

TEST(RemoveLeftoverCopies, TakesOnlyTheCopiesOfAnEarlierRunThatNobodyHolds) {
    ScratchFolder scratch;
    for (const char* name : {"~ts0a1f", "~ts0a1e", "~ts0B1F", "~ts0a1", "~ts0a1f0", "~ts0a1g", "~ts0a1f.dll",
                             "t_solo32.exe"}) {
        WriteTextFile(scratch / name, "x");
    }
    ::CreateDirectoryA((scratch / "~ts0b2c").c_str(), nullptr);
    // Another setup writing its copy holds it without sharing.
    const UniqueFile held(::CreateFileA((scratch / "~ts0a1e").c_str(), GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    RemoveLeftoverCopies(scratch.Path().c_str());
    EXPECT_EQ("t_solo32.exe,~ts0B1F,~ts0a1,~ts0a1e,~ts0a1f.dll,~ts0a1f0,~ts0a1g,~ts0b2c",
              ListFolder(scratch.Path()));
}

}  // namespace
