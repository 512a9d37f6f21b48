// How much the download worker asks for in its next read, and what a read
// that does not wait for data told it (portable).
//
// A read that waits for data waits until its whole buffer is filled, so a
// line that turns into a trickle would keep the displays waiting for a whole
// block at the trickle's pace. The worker therefore reads without waiting:
// each read takes what has arrived, up to the block, and while nothing has,
// the stack says when something does. (Asking the stack how much has arrived
// and reading that much costs a fast line half its rate or more: some stacks
// report no more than their own small buffer holds, so every read becomes a
// small one.) A no-wait read that returns nothing does not tell the end of
// the body, since a stack may answer so for "not yet": only a read that may
// wait does, and it asks for the smallest block, so it waits for no more.
// The block follows the line, for a stack that does not honour the no-wait
// request: it doubles while a whole block arrives quickly, and a slow read
// drops it back to the smallest at once.
#pragma once

#include <cstdint>

constexpr uint32_t kMinReadBlockBytes = 1024;
constexpr uint32_t kMaxReadBlockBytes = 64 * 1024;
// A full block that took less than this asks for twice as much next time...
constexpr uint32_t kReadFastMs = 100;
// ...and one that took longer than this drops back to the smallest block.
constexpr uint32_t kReadSlowMs = 250;

// The next read's size after a read of `asked` bytes that returned `got`
// bytes in `elapsedMs` milliseconds.
uint32_t NextReadBlockBytes(uint32_t asked, uint32_t got, uint32_t elapsedMs);

// What a no-wait read's answer asks of the worker.
enum class NoWaitAnswer {
    TakeBytes,   // it returned what had arrived
    AwaitBytes,  // the stack finishes it later, once bytes have arrived: read again then
    AskForEnd,   // it returned nothing: a read that may wait (the smallest block) tells
};

// `finished`: the read returned at once; `got`: the bytes it returned then.
NoWaitAnswer AnswerOfNoWaitRead(bool finished, uint32_t got);
