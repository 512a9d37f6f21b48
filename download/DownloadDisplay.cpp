#include "download/DownloadDisplay.h"

#include <cmath>
#include <cstdio>

#include "framework/FormatString.h"
#include "res/ResourceIds.h"

namespace {

constexpr uint32_t kKilobyte = 1024;
constexpr uint32_t kMegabyte = 1024 * 1024;
constexpr uint32_t kSecondsPerMinute = 60;
constexpr unsigned kKilobyteShift = 10;
constexpr uint32_t kHalfKilobyte = 512;
constexpr double kFullKilobyteRate = 1.0;
constexpr double kWholeNumberRate = 10.0;

std::string Printed(const char* format, double value) {
    // Rates come from arbitrary byte counts; a value that is not finite
    // would print as "inf", so it is shown as 0 instead.
    if (!std::isfinite(value)) value = 0.0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Decimal(uint64_t value) {
    return std::to_string(value);
}

}  // namespace

std::string FormatByteCount(uint32_t bytes, TextLookup texts) {
    if (bytes < kKilobyte) return FormatString1(texts(IDS_DL_BYTES), Decimal(bytes));
    if (bytes < kMegabyte) {
        return FormatString1(texts(IDS_DL_KB), Printed("%0.1f", bytes / static_cast<double>(kKilobyte)));
    }
    return FormatString1(texts(IDS_DL_MB), Printed("%0.2f", bytes / static_cast<double>(kMegabyte)));
}

std::string FormatDuration(uint32_t seconds, TextLookup texts) {
    if (seconds < kSecondsPerMinute) return FormatString1(texts(IDS_DL_SECONDS), Decimal(seconds));
    const uint32_t minutes = seconds / kSecondsPerMinute;
    const uint32_t rest = seconds % kSecondsPerMinute;
    if (rest == 0) return FormatString1(texts(IDS_DL_MINUTES), Decimal(minutes));
    return FormatString2(texts(IDS_DL_MINUTES_SECONDS), Decimal(minutes), Decimal(rest));
}

std::string FormatTimeLeftLine(uint32_t seconds, uint32_t received, uint32_t length,
                               TextLookup texts) {
    const std::string amount = FormatString2(texts(IDS_DL_OF), FormatByteCount(received, texts),
                                             FormatByteCount(length, texts));
    return FormatString2(texts(IDS_DL_TIME_LEFT_COPIED), FormatDuration(seconds, texts), amount);
}

std::string FormatRateLine(double rate, TextLookup texts) {
    if (rate < kFullKilobyteRate) {
        return FormatString1(texts(IDS_DL_BYTES_PER_SEC), Printed("%0.0f", rate * kKilobyte));
    }
    const char* format = rate < kWholeNumberRate ? "%0.2f" : "%0.0f";
    return FormatString1(texts(IDS_DL_KB_PER_SEC), Printed(format, rate));
}

std::string FormatPercentCaption(int percent, const std::string& shownName, TextLookup texts) {
    return FormatString2(texts(IDS_DL_PERCENT_CAPTION), std::to_string(percent), shownName);
}

uint32_t BarRangeFor(uint32_t length) {
    // Added in 64 bits: a length near 4 GB must not wrap to an empty bar.
    return static_cast<uint32_t>((static_cast<uint64_t>(length) + kHalfKilobyte) >> kKilobyteShift);
}

uint32_t BarPositionFor(uint32_t received) {
    return received >> kKilobyteShift;
}
