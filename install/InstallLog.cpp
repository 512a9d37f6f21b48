#include "install/InstallLog.h"

#include <cstdio>
#include <memory>

#include <windows.h>

#include "product/ProductInfo.h"
#include "install/LogRecord.h"

namespace {

// The user's short date, at most 255 characters.
constexpr int kDateBufferSize = 256;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

void WriteInstallLog(const char* message) { WriteLogRecord(kInstallLogName, message); }

void WriteLogRecord(const char* fileName, const char* message) {
    // Text mode: every "\n" of the record, the message's own included, is
    // written as CR LF.
    std::unique_ptr<std::FILE, FileCloser> log(std::fopen(fileName, "at"));
    if (!log) return;

    char date[kDateBufferSize] = "";
    if (!::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date,
                          kDateBufferSize)) {
        date[0] = '\0';
    }
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const std::string record =
        FormatInstallLogRecord(date, FormatLogTime(now.wHour, now.wMinute, now.wSecond), message);
    (void)std::fputs(record.c_str(), log.get());
}
