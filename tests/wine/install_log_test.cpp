#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "install/InstallLog.h"
#include "tests/wine/ScratchFolder.h"

namespace {

// Runs `body` with the scratch folder as the current directory.
template <typename Body>
void InFolder(const ScratchFolder& scratch, Body body) {
    const std::string before = CurrentDirectory();
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch.Path().c_str()));
    body();
    ::SetCurrentDirectoryA(before.c_str());
}

TEST(WriteInstallLog, AppendsDatedRecordsWithCrLf) {
    ScratchFolder scratch;
    InFolder(scratch, [] {
        WriteInstallLog("Erste Meldung");
        WriteInstallLog("Warnung: Tessolo l\xE4uft!\nBeenden Sie bitte Tessolo!");
    });
    const std::string log = ReadWholeFile(scratch / "Tessolo_Install.log");
    const std::string separator = std::string(48, '-') + "\r\n";
    const std::regex records(
        "[^\r\n]+ - \\d\\d:\\d\\d:\\d\\d: Erste Meldung\r\n" + separator +
        "[^\r\n]+ - \\d\\d:\\d\\d:\\d\\d: Warnung: Tessolo l\xE4uft!\r\n"
        "Beenden Sie bitte Tessolo!\r\n" + separator);
    EXPECT_TRUE(std::regex_match(log, records)) << log;
}

TEST(WriteInstallLog, EarlierRecordsStay) {
    ScratchFolder scratch;
    const std::string earlier = "frueher\r\n";
    WriteTextFile(scratch / "Tessolo_Install.log", earlier);
    InFolder(scratch, [] { WriteInstallLog("neu"); });
    const std::string log = ReadWholeFile(scratch / "Tessolo_Install.log");
    EXPECT_EQ(earlier, log.substr(0, earlier.size()));
    EXPECT_NE(std::string::npos, log.find(": neu\r\n", earlier.size()));
}

}  // namespace
