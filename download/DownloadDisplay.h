// The texts and bar units of the download dialog's progress displays
// (portable: the string-table templates come in through a lookup).
#pragma once

#include <cstdint>
#include <string>

// Returns the string-table text with the given id.
using TextLookup = std::string (*)(unsigned id);

// "%1 Bytes" below 1 KB, "%1 KB" with one decimal below 1 MB, else "%1 MB"
// with two decimals; always a point as decimal separator.
std::string FormatByteCount(uint32_t bytes, TextLookup texts);

// "59 sec", "1 min", "1 min 1 sec".
std::string FormatDuration(uint32_t seconds, TextLookup texts);

// The time-left line: "1 min 5 sec (512.0 KB von 1.20 MB kopiert)".
std::string FormatTimeLeftLine(uint32_t seconds, uint32_t received, uint32_t length,
                               TextLookup texts);

// The rate line. `rate` is bytes per millisecond, which the line shows as
// kilobytes per second as it is (1 B/ms is close enough to 1 KB/s).
std::string FormatRateLine(double rate, TextLookup texts);

// The caption while downloading: "37% von setup.exe  fertig".
std::string FormatPercentCaption(int percent, const std::string& shownName, TextLookup texts);

// The bar counts whole KB: the range is the length rounded to the nearest
// KB, the position the KB received. Both are full 32-bit counts, so lengths
// beyond 64 MB keep a true bar.
uint32_t BarRangeFor(uint32_t length);
uint32_t BarPositionFor(uint32_t received);
