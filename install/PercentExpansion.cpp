#include "install/PercentExpansion.h"

std::string ExpandPercentText(const std::string& text, const VariableLookup& lookup,
                              bool* allSet) {
    std::string expanded;
    size_t position = 0;
    while (position < text.size()) {
        if (text[position] != '%') {
            expanded += text[position++];
            continue;
        }
        const size_t nameStart = position + 1;
        size_t nameEnd = text.find('%', nameStart);
        if (nameEnd == std::string::npos) nameEnd = text.size();
        std::string value;
        if (lookup(text.substr(nameStart, nameEnd - nameStart), &value)) {
            expanded += value;
        } else if (allSet) {
            *allSet = false;
        }
        position = nameEnd + 1;
    }
    return expanded;
}
