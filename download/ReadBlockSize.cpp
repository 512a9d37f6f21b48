#include "download/ReadBlockSize.h"

uint32_t NextReadBlockBytes(uint32_t asked, uint32_t got, uint32_t elapsedMs) {
    if (elapsedMs > kReadSlowMs) return kMinReadBlockBytes;
    // A short read says the line delivered all it had: nothing to learn.
    if (got < asked || elapsedMs >= kReadFastMs) return asked < kMinReadBlockBytes ? kMinReadBlockBytes : asked;
    if (asked * 2 < kMinReadBlockBytes) return kMinReadBlockBytes;
    return asked * 2 > kMaxReadBlockBytes ? kMaxReadBlockBytes : asked * 2;
}

bool ReadsWhatArrived(uint32_t asked) {
    return asked <= kMinReadBlockBytes;
}

uint32_t ReadBytesNow(uint32_t asked, uint32_t available) {
    if (available == 0) return asked;
    return available < asked ? available : asked;
}
