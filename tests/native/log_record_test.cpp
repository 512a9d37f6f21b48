#include <string>

#include <gtest/gtest.h>

#include "install/LogRecord.h"

namespace {

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(LogRecord, DatedLineThenSeparator) {
    EXPECT_EQ("05.12.2026 - 07:04:09: Fehler\n"
              "------------------------------------------------\n",
              FormatInstallLogRecord("05.12.2026", "07:04:09", "Fehler"));
    EXPECT_EQ(48u + 1u, std::string(kLogSeparator).size());
    EXPECT_EQ(std::string(48, '-') + "\n", kLogSeparator);
}

TEST(LogRecord, MultiLineMessageGetsExactlyOneSeparator) {
    const std::string record =
        FormatInstallLogRecord("d", "t", "Warnung: Tessolo l\xE4uft!\nBeenden Sie bitte Tessolo\n\nX");
    EXPECT_EQ("d - t: Warnung: Tessolo l\xE4uft!\nBeenden Sie bitte Tessolo\n\nX\n" +
                  std::string(kLogSeparator),
              record);
    EXPECT_EQ(1, CountOf(record, std::string(48, '-')));
}

TEST(LogRecord, TimeIsTwoDigitsEach) {
    struct Case { int h, m, s; const char* text; } cases[] = {
        {0, 0, 0, "00:00:00"}, {7, 4, 9, "07:04:09"}, {23, 59, 59, "23:59:59"}, {12, 30, 5, "12:30:05"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, FormatLogTime(c.h, c.m, c.s));
}

TEST(LogRecord, StopMessagesNameTheirFolder) {
    // Messages 5 and 11 put the folder last, message 7 first; an empty
    // folder leaves the colon and the blank.
    EXPECT_EQ("Ung\xFCltiges Zielverzeichnis!: ",
              ComposeLogMessage("Ung\xFCltiges Zielverzeichnis!", ""));
    EXPECT_EQ("C:\\T\\: Fehler beim Installieren!",
              ComposeLogMessage("C:\\T\\", "Fehler beim Installieren!"));
}

}  // namespace
