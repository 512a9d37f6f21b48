#include <string>

#include <gtest/gtest.h>

#include "app/ExitCode.h"
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

}  // namespace
