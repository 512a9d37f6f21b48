#include "download/ReadBlockSize.h"

uint32_t NextReadBlockBytes(uint32_t asked, uint32_t got, uint32_t elapsedMs) {
    if (elapsedMs > kReadSlowMs) return kMinReadBlockBytes;
    // A short read says the line delivered all it had: nothing to learn.
    if (got < asked || elapsedMs >= kReadFastMs) return asked < kMinReadBlockBytes ? kMinReadBlockBytes : asked;
    if (asked * 2 < kMinReadBlockBytes) return kMinReadBlockBytes;
    return asked * 2 > kMaxReadBlockBytes ? kMaxReadBlockBytes : asked * 2;
}

NoWaitAnswer AnswerOfNoWaitRead(bool finished, uint32_t got) {
    if (!finished) return NoWaitAnswer::AwaitBytes;
    return got == 0 ? NoWaitAnswer::AskForEnd : NoWaitAnswer::TakeBytes;
}
