// How much the download worker asks for in its next read (portable).
//
// A synchronous InternetReadFile waits until its whole buffer is filled, so a
// fixed large block would leave a slow line's displays waiting for seconds,
// and a fixed small one lets the per-call cost set the rate on a fast line.
// The block therefore starts small and follows the line: it doubles while a
// whole block arrives quickly, and a slow read drops it back to the smallest
// at once. At the smallest, a read asks only for what has arrived, so a slow
// line never keeps a read waiting for more than its bytes; a large block is
// asked for only of a line that just filled half of it within kReadFastMs.
// (Asking only for what has arrived at every size would cost a fast line
// dearly: some stacks report no more than their own small buffer holds.)
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

// Whether a read of `asked` bytes asks only for what has arrived.
bool ReadsWhatArrived(uint32_t asked);

// What to ask for with the smallest block when `available` bytes have
// arrived and not been read: never more than arrived, and the whole block
// when nothing has (the read then waits for it, or tells the end).
uint32_t ReadBytesNow(uint32_t asked, uint32_t available);
