// The text of one install-log record (portable: date and time come in as text).
#pragma once

#include <string>

#include "install/InstalledNames.h"

// "HH:MM:SS", 24-hour clock.
std::string FormatLogTime(int hour, int minute, int second);

// "date - time: message\n" and the separator line. The message's own line
// breaks are kept, so a record may span several lines; the file is written in
// text mode, which turns each "\n" into CR LF.
std::string FormatInstallLogRecord(const std::string& date, const std::string& time,
                                   const std::string& message);

// "first: second", the form in which a stop names its folder.
std::string ComposeLogMessage(const std::string& first, const std::string& second);
