#include <map>
#include <string>

#include <gtest/gtest.h>

#include "download/DownloadAddress.h"
#include "download/DownloadDisplay.h"
#include "res/ResourceIds.h"

namespace {

// The dialog's string-table texts as the setup stores them.
std::string Texts(unsigned id) {
    static const std::map<unsigned, std::string> table = {
        {IDS_DL_PERCENT_CAPTION, "%1% von %2  fertig"},
        {IDS_DL_OF, "%1 von %2"},
        {IDS_DL_SECONDS, "%1 sec"},
        {IDS_DL_MINUTES, "%1 min"},
        {IDS_DL_MINUTES_SECONDS, "%1 min %2 sec"},
        {IDS_DL_BYTES, "%1 Bytes"},
        {IDS_DL_KB, "%1 KB"},
        {IDS_DL_MB, "%1 MB"},
        {IDS_DL_TIME_LEFT_COPIED, "%1 (%2 kopiert)"},
        {IDS_DL_BYTES_PER_SEC, "%1 Bytes/Sec"},
        {IDS_DL_KB_PER_SEC, "%1 KB/Sec"},
    };
    auto it = table.find(id);
    return it == table.end() ? "<missing " + std::to_string(id) + ">" : it->second;
}

TEST(FormatByteCount, UnitBoundaries) {
    struct Case { uint32_t bytes; const char* text; } cases[] = {
        {0, "0 Bytes"},
        {1023, "1023 Bytes"},
        {1024, "1.0 KB"},
        {1535, "1.5 KB"},
        {1048575, "1024.0 KB"},
        {1048576, "1.00 MB"},
        {1258291, "1.20 MB"},
        {UINT32_MAX, "4096.00 MB"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, FormatByteCount(c.bytes, Texts)) << c.bytes;
}

TEST(FormatDuration, SecondsMinutesAndBoth) {
    struct Case { uint32_t seconds; const char* text; } cases[] = {
        {0, "0 sec"}, {59, "59 sec"}, {60, "1 min"}, {61, "1 min 1 sec"},
        {119, "1 min 59 sec"}, {3600, "60 min"}, {UINT32_MAX, "71582788 min 15 sec"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, FormatDuration(c.seconds, Texts)) << c.seconds;
}

TEST(FormatTimeLeftLine, TimeThenAmountOfLength) {
    EXPECT_EQ("1 min 5 sec (512.0 KB von 1.20 MB kopiert)",
              FormatTimeLeftLine(65, 524288, 1258291, Texts));
    EXPECT_EQ("0 sec (1000 Bytes von 1000 Bytes kopiert)", FormatTimeLeftLine(0, 1000, 1000, Texts));
}

TEST(FormatRateLine, BytesBelowOneThenTwoDecimalsThenWhole) {
    struct Case { double rate; const char* text; } cases[] = {
        {0.0, "0 Bytes/Sec"},
        {0.5, "512 Bytes/Sec"},
        {0.999, "1023 Bytes/Sec"},
        {1.0, "1.00 KB/Sec"},
        {1.5, "1.50 KB/Sec"},
        {9.999, "10.00 KB/Sec"},
        {10.0, "10 KB/Sec"},
        {12.3, "12 KB/Sec"},
        {65536.0, "65536 KB/Sec"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, FormatRateLine(c.rate, Texts)) << c.rate;
}

TEST(FormatPercentCaption, TwoBlanksBeforeFertig) {
    EXPECT_EQ("37% von setup.exe  fertig", FormatPercentCaption(37, "setup.exe", Texts));
    EXPECT_EQ("100% von /  fertig", FormatPercentCaption(100, "/", Texts));
}

TEST(BarUnits, WholeKilobytesWithRoundedRange) {
    EXPECT_EQ(977u, BarRangeFor(1000000));
    EXPECT_EQ(488u, BarPositionFor(500000));
    struct Case { uint32_t length; uint32_t range; } cases[] = {
        {0, 0}, {511, 0}, {512, 1}, {1024, 1}, {1535, 1}, {1536, 2},
        // Beyond a 16-bit count: a 64 MB download keeps a true range.
        {67108864, 65536},
        {UINT32_MAX, 4194304},
    };
    for (const Case& c : cases) EXPECT_EQ(c.range, BarRangeFor(c.length)) << c.length;
    EXPECT_EQ(0u, BarPositionFor(1023));
    EXPECT_EQ(1u, BarPositionFor(1024));
}

TEST(SplitUrl, HostPortAndObjectPath) {
    struct Case { const char* url; const char* host; uint16_t port; const char* object; } cases[] = {
        {"http://download.tessolo.example/google/setup.exe", "download.tessolo.example", 80,
         "/google/setup.exe"},
        {"HTTP://Host:8080/a?b=c", "Host", 8080, "/a?b=c"},
        {"http://host", "host", 80, "/"},
        {"http://host:65535", "host", 65535, "/"},
        {"http://host?q=1", "host", 80, "/?q=1"},
        {"http://host/a#frag", "host", 80, "/a"},
        {"http://user:pw@host:81/x", "host", 81, "/x"},
    };
    for (const Case& c : cases) {
        UrlParts parts;
        ASSERT_EQ(1, SplitUrl(c.url, parts)) << c.url;
        EXPECT_EQ(kHttpService, parts.service) << c.url;
        EXPECT_EQ(c.host, parts.host) << c.url;
        EXPECT_EQ(c.port, parts.port) << c.url;
        EXPECT_EQ(c.object, parts.objectPath) << c.url;
    }
}

TEST(SplitUrl, RejectsWhatCannotBeFetched) {
    for (const char* url : {"", "download.tessolo.example/setup.exe", "http://", "http:///x",
                            "http://host:/x", "http://host:0/x", "http://host:65536/x",
                            "http://host:8o/x", "ftp://host/x", "https://host/x", "http:/host/x"}) {
        UrlParts parts;
        parts.host = "untouched";
        EXPECT_EQ(0, SplitUrl(url, parts)) << url;
        EXPECT_EQ("untouched", parts.host) << url;
    }
}

TEST(SplitUrlWithDefaultScheme, PrefixesHttpOnlyWhenThatHelps) {
    struct Case { const char* in; int result; const char* out; } cases[] = {
        {"download.tessolo.example/google/setup.exe", 1,
         "http://download.tessolo.example/google/setup.exe"},
        {"http://host/x", 1, "http://host/x"},
        {"host:8080", 1, "http://host:8080"},
        {"", 0, ""},
        {"/only/a/path", 0, "/only/a/path"},
        {"ftp://host/x", 0, "ftp://host/x"},
    };
    for (const Case& c : cases) {
        std::string url = c.in;
        UrlParts parts;
        EXPECT_EQ(c.result, SplitUrlWithDefaultScheme(url, parts)) << c.in;
        EXPECT_EQ(c.out, url) << c.in;
    }
}

TEST(ShownNameFor, LastSegment) {
    struct Case { const char* object; const char* name; } cases[] = {
        {"/google/setup.exe", "setup.exe"},
        {"/", "/"},
        {"", ""},
        {"/dir/", ""},
        {"/a\\b\\c.exe", "a\\b\\c.exe"},  // a slash wins over backslashes
        {"a\\b.exe", "b.exe"},
        {"x", "x"},
        {"/setup.exe?lang=de", "setup.exe?lang=de"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.name, ShownNameFor(c.object)) << c.object;
}

}  // namespace
