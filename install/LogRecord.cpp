#include "install/LogRecord.h"

#include <cstdio>

std::string FormatLogTime(int hour, int minute, int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    return text;
}

std::string FormatInstallLogRecord(const std::string& date, const std::string& time,
                                   const std::string& message) {
    return date + " - " + time + ": " + message + "\n" + kLogSeparator;
}

std::string ComposeLogMessage(const std::string& first, const std::string& second) {
    return first + ": " + second;
}
