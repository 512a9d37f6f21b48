#include "download/TransferRun.h"

#include <commctrl.h>

#include <utility>

#include "download/DownloadDisplay.h"
#include "framework/StringTable.h"

namespace {

std::string DialogText(unsigned id) {
    return LoadStringText(id);
}

}  // namespace

TransferRun::TransferRun(TransferTarget target, TransferWindows windows, TransferLimits limits,
                         UniqueFile file)
    : m_target(std::move(target)),
      m_windows(std::move(windows)),
      m_limits(limits),
      m_fileOut(std::move(file)) {}

void TransferRun::AddRef() {
    ++m_refs;
}

void TransferRun::Release() {
    if (--m_refs == 0) delete this;
}

DWORD WINAPI TransferRun::WorkerEntry(LPVOID run) {
    auto* self = static_cast<TransferRun*>(run);
    self->RunTransfer();
    self->Release();
    return 0;
}

void TransferRun::Cancel() {
    m_bCancelRequested = 1;
    ScopedLock lock(m_lock);
    m_hRequest.Reset();
}

bool TransferRun::Abandon() {
    ScopedLock lock(m_lock);
    if (m_reported) return false;
    m_abandoned = true;
    m_hRequest.Reset();
    m_fileOut.Reset();
    // Nothing depends on the partial file being gone; the owner never runs it.
    if (m_sending) (void)::DeleteFileA(m_target.targetPath.c_str());
    return true;
}

void TransferRun::ShowPercent(int percent) {
    ::SetWindowTextA(m_windows.dialog,
                     FormatPercentCaption(percent, m_windows.shownName, DialogText).c_str());
}

void TransferRun::SetBarRange(uint32_t length) {
    ::SendMessageA(m_windows.bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(BarRangeFor(length)));
}

void TransferRun::SetBarPosition(uint32_t received) {
    ::SendMessageA(m_windows.bar, PBM_SETPOS, BarPositionFor(received), 0);
}

void TransferRun::ShowRate(double bytesPerMillisecond) {
    ::SetWindowTextA(m_windows.rate, FormatRateLine(bytesPerMillisecond, DialogText).c_str());
}

void TransferRun::ShowTimeLeft(uint32_t seconds, uint32_t received, uint32_t length) {
    ::SetWindowTextA(m_windows.remaining,
                     FormatTimeLeftLine(seconds, received, length, DialogText).c_str());
}
