// How much the download worker asks for in its next read (portable).
//
// A synchronous InternetReadFile waits until its whole buffer is filled, so a
// fixed large block would leave a slow line's displays and the cancel check
// waiting for seconds, and a fixed small one lets the per-call cost set the
// rate on a fast line. The block therefore starts small and follows the line:
// it doubles while a whole block arrives quickly and halves when one is slow.
#pragma once

#include <cstdint>

constexpr uint32_t kMinReadBlockBytes = 1024;
constexpr uint32_t kMaxReadBlockBytes = 64 * 1024;
// A full block that took less than this asks for twice as much next time...
constexpr uint32_t kReadFastMs = 100;
// ...and one that took longer than this for half as much.
constexpr uint32_t kReadSlowMs = 250;

// The next read's size after a read of `asked` bytes that returned `got`
// bytes in `elapsedMs` milliseconds.
uint32_t NextReadBlockBytes(uint32_t asked, uint32_t got, uint32_t elapsedMs);
