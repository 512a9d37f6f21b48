// The per-block bookkeeping of a running download: when to move the caption
// and bar, and when to refresh the rate and time left (portable).
#pragma once

#include <cstdint>

// The displays a transfer keeps current (the download dialog's operations).
class ProgressDisplay {
public:
    virtual void ShowPercent(int percent) = 0;
    virtual void SetBarPosition(uint32_t received) = 0;
    virtual void ShowRate(double bytesPerMillisecond) = 0;
    virtual void ShowTimeLeft(uint32_t seconds, uint32_t received, uint32_t length) = 0;

protected:
    ~ProgressDisplay() = default;
};

// State of one read loop. Ticks are millisecond tick counts, which wrap.
struct TransferProgress {
    uint32_t startTick = 0;
    uint32_t lastTick = 0;
    uint32_t lastTotal = 0;
    int lastPercent = 0;
    bool lengthKnown = false;
    uint32_t length = 0;
};

// Rate and time left change at most once per this many milliseconds.
constexpr uint32_t kRateIntervalMs = 1000;

// A fresh read loop starting at `now`.
TransferProgress StartTransferProgress(uint32_t now, bool lengthKnown, uint32_t length);

// Called after every written block with the bytes written so far.
void TrackProgress(TransferProgress& progress, uint32_t total, uint32_t now,
                   ProgressDisplay& display);

// Whole percentage of `length` that `total` is; 100 at most, also when more
// bytes arrive than were announced or an empty body was announced.
int PercentOf(uint32_t total, uint32_t length);

// Seconds left at the average rate since the start; 0 once the announced
// length is reached, and held to the 32-bit range.
uint32_t SecondsLeft(uint32_t elapsedMs, uint32_t total, uint32_t length);
