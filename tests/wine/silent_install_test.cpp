#include <string>

#include <gtest/gtest.h>

#include "product/ExitCode.h"
#include "app/SilentInstall.h"
#include "tests/wine/ScratchFolder.h"

namespace {

// Runs the silent start-up in `folder` as its current directory.
int RunSilentIn(const ScratchFolder& folder, const std::string& commandLine) {
    const std::string before = CurrentDirectory();
    ::SetCurrentDirectoryA(folder.Path().c_str());
    const int code = RunSilentInstall(commandLine.c_str());
    ::SetCurrentDirectoryA(before.c_str());
    return code;
}

TEST(RunSilentInstall, NeverLetsTheSystemAskAboutAMissingDisk) {
    ScratchFolder scratch;
    const UINT saved = ::SetErrorMode(0);
    EXPECT_EQ(kExitEmptyFolder, RunSilentIn(scratch, "setup.exe /silent /folder=\"\""));
    EXPECT_TRUE(::SetErrorMode(saved) & SEM_FAILCRITICALERRORS);
}

TEST(RunSilentInstall, FolderBelowACurrentDirectoryIsMadeAbsolute) {
    ScratchFolder scratch;
    // A file in the way makes the folder fail, so its log record shows the
    // folder the install would have used.
    WriteTextFile(scratch / "Apps", "in the way");
    const std::string drive = scratch.Path().substr(0, 2);          // "C:"
    const std::string withoutDrive = scratch.Path().substr(2);  // "\users\...\"
    const std::string below = scratch.Path() + "Apps\\Tessolo\\";
    const struct {
        std::string folder;
        std::string used;
    } cases[] = {
        {"Apps\\Tessolo", below},
        {"\"  Apps\\Tessolo\"", below},
        {withoutDrive + "Apps\\Tessolo", below},
        // The current directory of that drive, not its root.
        {drive + "Apps\\Tessolo", below},
        {"\" " + drive + "Apps\\Tessolo \"", below},
        // Another drive's current directory is the system's to know; a bare
        // drive still is its root (Q: does not exist, so nothing is written).
        {"Q:Apps", "Q:\\Elsewhere\\Apps\\"},
        {"Q:", "Q:\\"},
    };
    // Where the system keeps the current directory of a drive other than the current one.
    ASSERT_TRUE(::SetEnvironmentVariableA("=Q:", "Q:\\Elsewhere"));
    for (const auto& c : cases) {
        ::DeleteFileA((scratch / "Tessolo_Install.log").c_str());
        EXPECT_EQ(kExitFolderNotCreatable, RunSilentIn(scratch, "setup.exe /silent /folder=" + c.folder));
        const std::string record = ": " + c.used + "\r\n";
        EXPECT_NE(std::string::npos, ReadWholeFile(scratch / "Tessolo_Install.log").find(record))
            << c.folder << "\n" << ReadWholeFile(scratch / "Tessolo_Install.log");
    }
    (void)::SetEnvironmentVariableA("=Q:", nullptr);
}

}  // namespace
