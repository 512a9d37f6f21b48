#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "install/FileTypeCatalogue.h"
#include "install/StemSpellings.h"

namespace {

// Within one pass the first registration of a stem capitalises it, and the
// capitals must show in every later use of that stem, but in no other stem.
TEST(StemSpellings, CapitalsOfAStemStickToItsLaterUses) {
    StemSpellings stems;
    char* jpg = stems.For("jpg");
    char* mpg = stems.For("mpg");
    ASSERT_NE(nullptr, jpg);
    EXPECT_STREQ("jpg", jpg);
    CapitaliseStem(jpg);

    struct Case {
        const char* stem;
        const char* spelled;
    } cases[] = {
        {"jpg", "JPG"},  // the same stem from a later extension of the row
        {"JPG", "JPG"},  // stems compare without regard to case
        {"mpg", "mpg"},  // another stem is untouched
        {"mpe", "mpe"},
    };
    for (const Case& c : cases) {
        const char* text = stems.For(c.stem);
        ASSERT_NE(nullptr, text) << c.stem;
        EXPECT_STREQ(c.spelled, text) << c.stem;
    }
    EXPECT_EQ(jpg, stems.For("jpg"));
    EXPECT_EQ(mpg, stems.For("Mpg"));
    EXPECT_EQ(3, stems.Count());
}

// The pass asks for the stem of every extension of the catalogue: the 92
// requests must come down to the 73 distinct stems, all with room.
TEST(StemSpellings, TheWholeCatalogueFits) {
    StemSpellings stems;
    std::set<const char*> buffers;
    for (const FileTypeEntry& entry : FileTypeCatalogue) {
        for (int i = 0; i < entry.extensionCount; ++i) {
            char* text = stems.For(entry.extensions[i].stem);
            ASSERT_NE(nullptr, text) << entry.extensions[i].stem;
            EXPECT_STREQ(entry.extensions[i].stem, text);
            buffers.insert(text);
        }
    }
    EXPECT_EQ(73, stems.Count());
    EXPECT_EQ(73u, buffers.size());
}

TEST(StemSpellings, RefusesWhatDoesNotFit) {
    StemSpellings stems;
    EXPECT_EQ(nullptr, stems.For(std::string(StemSpellings::kStemLimit, 'x').c_str()));
    for (int i = 0; i < StemSpellings::kMaxStems; ++i) {
        ASSERT_NE(nullptr, stems.For(("s" + std::to_string(i)).c_str()));
    }
    EXPECT_EQ(nullptr, stems.For("extra"));
    EXPECT_NE(nullptr, stems.For("s0")) << "a known stem is still found when full";
}

TEST(CapitaliseStem, OnlyAsciiLettersChange) {
    char text[] = "j2k-\xE4z";
    CapitaliseStem(text);
    EXPECT_STREQ("J2K-\xE4Z", text);
}

}  // namespace
