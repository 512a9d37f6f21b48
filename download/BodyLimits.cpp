#include "download/BodyLimits.h"

#include <limits>

uint64_t AnnouncedLength(const char* text) {
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t length = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const unsigned digit = static_cast<unsigned>(*text - '0');
        if (length > (kMax - digit) / 10) return kMax;
        length = length * 10 + digit;
    }
    return length;
}

bool PassesLimit(uint64_t total, uint32_t got, uint64_t limit) {
    return total > limit || got > limit - total;
}

bool CutShort(bool lengthKnown, uint64_t length, uint64_t total) {
    return lengthKnown && total < length;
}
