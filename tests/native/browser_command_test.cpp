#include "controls/BrowserCommand.h"

#include <string>

#include <gtest/gtest.h>

namespace {

const std::string kTarget = "http://www.tessolo.example/eula.htm";

TEST(BuildBrowserCommand, CutsAtThePlaceholderAndAppendsTheTarget) {
    const struct {
        const char* registered;
        std::string expected;
    } cases[] = {
        {"\"C:\\Browser\\browser.exe\" -nohome \"%1\"",
         "\"C:\\Browser\\browser.exe\" -nohome  " + kTarget},
        {"C:\\Browser\\browser.exe %1", "C:\\Browser\\browser.exe  " + kTarget},
        {"C:\\Browser\\browser.exe", "C:\\Browser\\browser.exe " + kTarget},
        // The quoted form wins even when a bare %1 comes first.
        {"browser.exe -p %1x \"%1\" -tail", "browser.exe -p %1x  " + kTarget},
        // Only the first placeholder counts; what follows it is dropped.
        {"browser.exe %1 -other %1", "browser.exe  " + kTarget},
        {"\"%1\"", " " + kTarget},
        {"", " " + kTarget},
        // A lone % or %2 is no placeholder.
        {"browser.exe 100% %2", "browser.exe 100% %2 " + kTarget},
    };
    for (const auto& c : cases) {
        std::string commandLine = "stale";
        EXPECT_TRUE(BuildBrowserCommand(c.registered, kTarget, commandLine)) << c.registered;
        EXPECT_EQ(c.expected, commandLine) << c.registered;
    }
}

TEST(BuildBrowserCommand, RefusesWhatDoesNotFitTheLauncherBuffer) {
    // The longest registry value read, with the blank before its placeholder.
    const std::string registered = std::string(254, 'b') + " \"%1\"";
    const size_t kept = 255;  // what remains in front of the placeholder
    const size_t room = kCommandLineCopyBytes - 1 - kept - 1;
    const struct {
        size_t targetLength;
        bool fits;
    } cases[] = {{0, true}, {room, true}, {room + 1, false}, {5000, false}};
    for (const auto& c : cases) {
        std::string commandLine = "stale";
        const bool built =
            BuildBrowserCommand(registered, std::string(c.targetLength, 't'), commandLine);
        EXPECT_EQ(c.fits, built) << c.targetLength;
        if (c.fits) {
            EXPECT_LT(commandLine.size(), kCommandLineCopyBytes);
        } else {
            EXPECT_TRUE(commandLine.empty());
        }
    }
}

}  // namespace
