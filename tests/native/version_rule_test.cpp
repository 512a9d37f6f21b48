#include <gtest/gtest.h>

#include "install/VersionRule.h"

namespace {

TEST(VersionText, FieldsAreWrittenOneAfterTheOther) {
    struct Case { unsigned major, minor, third; const char* text; } cases[] = {
        {4, 3, 0, "4.30"},
        {4, 10, 0, "4.100"},
        {4, 2, 8, "4.28"},
        {4, 3, 1, "4.31"},
        {0, 0, 0, "0.00"},
        {65535, 65535, 65535, "65535.6553565535"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, FormatVersionText(c.major, c.minor, c.third))
            << c.major << "." << c.minor << "." << c.third;
    }
}

TEST(VersionText, ReadAsRoundedHundredths) {
    struct Case { const char* text; int hundredths; } cases[] = {
        {"4.30", 430},   // 4.3 is not exact in binary; rounding keeps it 430
        {"4.28", 428},
        {"4.31", 431},
        {"4.100", 410},  // minor 10 reads as a decimal fraction
        {"4.299", 430},  // three digits round to the nearest hundredth
        {"4.294", 429},
        {"0.00", 0},
        {"", 0},
        {"65535.6553565535", 6553566},
    };
    for (const Case& c : cases) EXPECT_EQ(c.hundredths, VersionHundredths(c.text)) << c.text;
}

TEST(IconLibraryRule, DecidesByVersionSizeAndMaker) {
    constexpr long ourSize = kIconLibraryResourceSize;
    struct Case {
        const char* why;
        bool hasVersion;
        const char* version;
        const char* company;
        long size;
        IconLibraryAction expected;
    } cases[] = {
        {"no version resource", false, "", "", 0, IconLibraryAction::Extract},
        {"older", true, "4.28", "Corvin Halden", 1, IconLibraryAction::Extract},
        {"same version, our size", true, "4.30", "Corvin Halden", ourSize, IconLibraryAction::Extract},
        {"same version, other size", true, "4.30", "Corvin Halden", ourSize + 1,
         IconLibraryAction::KeepExisting},
        {"newer third field", true, "4.31", "Corvin Halden", ourSize, IconLibraryAction::KeepExisting},
        {"newer", true, "4.40", "Corvin Halden", ourSize, IconLibraryAction::KeepExisting},
        {"maker in another case", true, "4.28", "CORVIN halden", 1, IconLibraryAction::Extract},
        {"foreign maker, older", true, "4.28", "Someone Else", 1, IconLibraryAction::KeepExisting},
        {"no maker named", true, "4.28", "", 1, IconLibraryAction::KeepExisting},
        {"maker as prefix only", true, "4.28", "Corvin Halden GmbH", 1,
         IconLibraryAction::KeepExisting},
        {"minor 10 reads as 4.1", true, "4.100", "Corvin Halden", 1, IconLibraryAction::Extract},
    };
    for (const Case& c : cases) {
        ExistingIconLibrary existing;
        existing.hasVersion = c.hasVersion;
        existing.versionText = c.version;
        existing.companyName = c.company;
        existing.size = c.size;
        EXPECT_EQ(c.expected, DecideIconLibraryAction(existing)) << c.why;
    }
}

}  // namespace
