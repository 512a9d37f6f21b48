#include <map>
#include <string>

#include <gtest/gtest.h>

#include "install/PercentExpansion.h"

namespace {

std::string Expand(const std::string& text) {
    static const std::map<std::string, std::string> environment = {
        {"APPDATA", "C:\\Users\\u\\AppData\\Roaming"},
        {"EMPTY", ""},
        {"X", "x%y"},
    };
    return ExpandPercentText(text, [](const std::string& name, std::string* value) {
        const auto found = environment.find(name);
        if (found == environment.end()) return false;
        *value = found->second;
        return true;
    });
}

TEST(PercentExpansion, Table) {
    struct Case { const char* text; const char* expanded; } cases[] = {
        {"%APPDATA%\\Tessolo", "C:\\Users\\u\\AppData\\Roaming\\Tessolo"},
        {"D:\\plain", "D:\\plain"},
        {"", ""},
        {"%UNSET%\\Tessolo", "\\Tessolo"},          // the whole %NAME% goes
        {"a%EMPTY%b", "ab"},
        {"%APPDATA", "C:\\Users\\u\\AppData\\Roaming"},  // unterminated: name runs to the end
        {"a%UNSET", "a"},
        {"%", ""},
        {"%%", ""},                                  // empty name: unset
        {"%X%%X%", "x%yx%y"},                        // values are not expanded again
        {"%X%%", "x%y"},
        {"100%", "100"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expanded, Expand(c.text)) << c.text;
}

}  // namespace
