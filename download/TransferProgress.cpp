#include "download/TransferProgress.h"

#include <cmath>

namespace {
constexpr int kFullPercent = 100;
constexpr double kSecondsPerMs = 0.001;
}

TransferProgress StartTransferProgress(uint32_t now, bool lengthKnown, uint32_t length) {
    TransferProgress progress;
    progress.startTick = now;
    progress.lastTick = now;
    progress.lengthKnown = lengthKnown;
    progress.length = length;
    return progress;
}

int PercentOf(uint32_t total, uint32_t length) {
    if (length == 0) return kFullPercent;
    const double percent = std::floor(static_cast<double>(total) * kFullPercent / length);
    return percent >= kFullPercent ? kFullPercent : static_cast<int>(percent);
}

uint32_t SecondsLeft(uint32_t elapsedMs, uint32_t total, uint32_t length) {
    if (total == 0 || total >= length) return 0;
    const double seconds =
        std::floor(static_cast<double>(elapsedMs) / total * (length - total) * kSecondsPerMs);
    return seconds >= static_cast<double>(UINT32_MAX) ? UINT32_MAX : static_cast<uint32_t>(seconds);
}

void TrackProgress(TransferProgress& progress, uint32_t total, uint32_t now,
                   ProgressDisplay& display) {
    if (progress.lengthKnown) {
        const int percent = PercentOf(total, progress.length);
        if (percent != progress.lastPercent) {
            display.ShowPercent(percent);
            progress.lastPercent = percent;
            display.SetBarPosition(total);
        }
    }

    // Unsigned differences stay right when the tick count wraps mid-transfer.
    const uint32_t elapsed = now - progress.lastTick;
    if (elapsed <= kRateIntervalMs) return;
    display.ShowRate(static_cast<double>(total - progress.lastTotal) / elapsed);
    progress.lastTick = now;
    progress.lastTotal = total;

    if (progress.lengthKnown && total != 0) {
        display.ShowTimeLeft(SecondsLeft(now - progress.startTick, total, progress.length), total,
                             progress.length);
    }
}
