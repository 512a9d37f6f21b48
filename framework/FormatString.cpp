#include "framework/FormatString.h"

std::string FormatString2(const std::string& pattern, const std::string& first,
                          const std::string& second) {
    std::string out;
    out.reserve(pattern.size() + first.size() + second.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            out += pattern[i + 1] == '1' ? first : second;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string FormatString1(const std::string& pattern, const std::string& first) {
    return FormatString2(pattern, first, "%2");
}
