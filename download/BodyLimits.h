// How much a download may take in, and when a body that ended counts as
// whole (portable).
#pragma once

#include <cstdint>

// A login reply (401, 407) is discarded; one longer than this is not a
// login page but a stream, and fails the run.
constexpr uint32_t kMaxLoginReplyBytes = 64 * 1024;

// Well above any partner installer, well below a full drive: a body that
// announces more fails at once, one that grows past it fails when it does.
constexpr uint32_t kMaxBodyBytes = 256u * 1024 * 1024;

// The Content-Length header's value: the leading decimal digits, held to the
// 64-bit range (a length too large to count is too large to take).
uint64_t AnnouncedLength(const char* text);

// Whether `got` more bytes would take a body of `total` bytes past `limit`.
bool PassesLimit(uint64_t total, uint32_t got, uint64_t limit);

// Whether a body that ended (a read of 0 bytes) after `total` bytes was cut
// short. Only an announced length tells here: a close-delimited reply ends
// where the connection does, and a chunked one is decoded by the stack,
// which alone sees whether its last chunk came (a break it reports fails the
// read).
bool CutShort(bool lengthKnown, uint64_t length, uint64_t total);
