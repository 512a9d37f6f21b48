#include "download/ReadBlockSize.h"

uint32_t NextReadBlockBytes(uint32_t asked, uint32_t got, uint32_t elapsedMs) {
    if (elapsedMs > kReadSlowMs) return asked / 2 < kMinReadBlockBytes ? kMinReadBlockBytes : asked / 2;
    // A short read says the line delivered all it had: nothing to learn.
    if (got < asked || elapsedMs >= kReadFastMs) return asked;
    return asked * 2 > kMaxReadBlockBytes ? kMaxReadBlockBytes : asked * 2;
}
