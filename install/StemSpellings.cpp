#include "install/StemSpellings.h"

#include <cstring>

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameStem(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (AsciiUpper(*a) != AsciiUpper(*b)) return false;
    }
    return *a == *b;
}

}  // namespace

char* StemSpellings::For(const char* stem) {
    for (int i = 0; i < m_count; ++i) {
        if (SameStem(m_texts[i], stem)) return m_texts[i];
    }
    if (m_count == kMaxStems || std::strlen(stem) >= static_cast<size_t>(kStemLimit)) return nullptr;
    std::strcpy(m_texts[m_count], stem);
    return m_texts[m_count++];
}

void CapitaliseStem(char* stem) {
    for (; *stem; ++stem) *stem = AsciiUpper(*stem);
}
