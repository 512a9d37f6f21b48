#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "install/InstallOptions.h"
#include "install/RunInstall.h"
#include "tests/wine/ScratchFolder.h"

namespace {

struct Outcome {
    int result;
    InstallStop stop;
    std::string log;  // the install log in the current directory afterwards
};

Outcome RunIn(const ScratchFolder& scratch, const char* folder, int silent) {
    InstallOptions options;
    std::strcpy(options.installFolder, folder);
    options.silent = silent;
    const std::string before = CurrentDirectory();
    ::SetCurrentDirectoryA(scratch.Path().c_str());
    InstallStop stop = InstallStop::None;
    const int result = RunInstall(options, &stop);
    ::SetCurrentDirectoryA(before.c_str());
    return {result, stop, ReadWholeFile(scratch / "Tessolo_Install.log")};
}

// Everything after the date and time of the log's only record.
std::string OnlyRecordText(const std::string& log) {
    const size_t start = log.find(": ");
    const size_t separator = log.find(std::string(48, '-'));
    if (start == std::string::npos || separator == std::string::npos) return "<no record>";
    if (log.find(std::string(48, '-'), separator + 48) != std::string::npos) return "<two records>";
    return log.substr(start + 2, separator - start - 2);
}

TEST(RunInstall, SilentStopsAreLoggedWithTheirFolder) {
    struct Case {
        const char* folder;
        InstallStop stop;
        std::string text;
    } cases[] = {
        {"", InstallStop::EmptyFolder, "Ung\xFCltiges Zielverzeichnis!: \r\n"},
        {"Q:\\Nowhere ", InstallStop::FolderNotCreatable,
         "Kann Zielverzeichnis nicht erstellen!\r\n\r\n"
         "Bitte \xFC" "berpr\xFC" "fen Sie Ihre Schreibrechte und System-Policies!\r\n\r\n"
         "Versuchen Sie das Zielverzeichnis zuerst h\xE4ndisch zu erstellen.: Q:\\Nowhere\\\r\n"},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        const Outcome run = RunIn(scratch, c.folder, 1);
        EXPECT_EQ(0, run.result) << c.folder;
        EXPECT_EQ(c.stop, run.stop) << c.folder;
        EXPECT_EQ(c.text, OnlyRecordText(run.log)) << c.folder;
    }
}

TEST(RunInstall, WizardStopsShowABoxAndNeverLog) {
    // Without a display the message box returns at once.
    ScratchFolder scratch;
    const Outcome run = RunIn(scratch, "", 0);
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(InstallStop::EmptyFolder, run.stop);
    EXPECT_EQ("<missing>", run.log);
}

}  // namespace
