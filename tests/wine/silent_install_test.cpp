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

TEST(RunSilentInstall, FolderWithoutDriveIsTakenFromTheCurrentDirectory) {
    ScratchFolder scratch;
    // A file in the way makes the folder fail, so its log record shows the
    // folder the install would have used.
    WriteTextFile(scratch / "Apps", "in the way");
    const std::string withoutDrive = scratch.Path().substr(2);  // "\users\...\"
    for (const std::string& folder : {std::string("Apps\\Tessolo"),
                                     std::string("\"  Apps\\Tessolo\""),
                                     withoutDrive + "Apps\\Tessolo"}) {
        ::DeleteFileA((scratch / "Tessolo_Install.log").c_str());
        EXPECT_EQ(kExitFolderNotCreatable, RunSilentIn(scratch, "setup.exe /silent /folder=" + folder));
        const std::string record = ": " + scratch.Path() + "Apps\\Tessolo\\\r\n";
        EXPECT_NE(std::string::npos, ReadWholeFile(scratch / "Tessolo_Install.log").find(record))
            << folder << "\n" << ReadWholeFile(scratch / "Tessolo_Install.log");
    }
}

}  // namespace
