// One transfer of the download dialog, shared by the dialog and its worker
// thread. The dialog may stop waiting for a worker held in a network call
// that the stack does not give up when its request is closed (Wine keeps
// such a call until the server or a time-out ends it), so everything the
// worker touches lives here, and the last of the two to let go deletes it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include <windows.h>

#include "download/BodyLimits.h"
#include "download/Sha256.h"
#include "download/TransferProgress.h"
#include "framework/CriticalSection.h"
#include "framework/Handles.h"

// Posted by the worker when its run is over: wParam 1 for a failure, else 0.
constexpr UINT WM_TRANSFER_DONE = WM_APP + 1;

// What the worker fetches, from the dialog's address and inputs.
struct TransferTarget {
    std::string host;
    uint16_t port = 0;
    uint32_t service = 0;
    std::string objectPath;
    std::string user;
    std::string password;
    std::string targetPath;
};

// The windows the worker keeps current, and the name its caption shows.
struct TransferWindows {
    HWND dialog = nullptr;
    HWND bar = nullptr;
    HWND rate = nullptr;
    HWND remaining = nullptr;
    std::string shownName;
};

// Milliseconds each network wait may last: connecting, sending the request,
// and receiving (the reply's headers, and the body while nothing arrives).
struct TransferTimeouts {
    DWORD connectMs;
    DWORD sendMs;
    DWORD receiveMs;
};
constexpr TransferTimeouts kTransferTimeouts = {20000, 20000, 30000};

struct TransferLimits {
    TransferTimeouts timeouts = kTransferTimeouts;
    uint32_t maxBodyBytes = kMaxBodyBytes;
};

class TransferRun final : private ProgressDisplay {
public:
    // Holds one reference, the creator's; `file` is the new target file.
    TransferRun(TransferTarget target, TransferWindows windows, TransferLimits limits,
                UniqueFile file);
    TransferRun(const TransferRun&) = delete;
    TransferRun& operator=(const TransferRun&) = delete;

    void AddRef();
    void Release();

    // The worker thread's entry; the thread owns one reference.
    static DWORD WINAPI WorkerEntry(LPVOID run);

    // User-interface thread. Cancel closes the request: the stack aborts a
    // blocking call on it, and the worker then reports a cancelled run.
    void Cancel();
    // Gives up on a worker that has not reported: the partly written file is
    // deleted as the worker would have, and the worker leaves the dialog
    // alone from now on. False when the worker has reported meanwhile.
    bool Abandon();

    // After WM_TRANSFER_DONE: the worker has let go of these.
    UniqueFile TakeFile() { return std::move(m_fileOut); }
    const Sha256& HashWritten() const { return m_hashWritten; }
    const std::string& Error() const { return m_strError; }

private:
    ~TransferRun() = default;

    // The worker (DownloadWorker.cpp).
    void RunTransfer();
    bool CancelSeen();
    void EndCancelled();
    void Report(WPARAM failed);
    static void CALLBACK StatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status,
                                        LPVOID information, DWORD informationLength);
    void FailWithCode(UINT textId, DWORD code);
    void FailWithText(UINT textId);
    void FailCall(UINT textId);
    void SetTimeouts(HINTERNET handle);
    bool OpenRequest();
    int DrainAndAskForLogin(HINTERNET request, bool& retry);
    bool FinishCall(BOOL finished);
    bool ReadArrived(HINTERNET request, char* block, uint32_t asked, DWORD& got);
    bool WriteBlock(const char* bytes, DWORD size, DWORD& error);

    // Display operations; each returns once the dialog has applied it.
    void ShowPercent(int percent) override;
    void SetBarRange(uint32_t length);
    void SetBarPosition(uint32_t received) override;
    void ShowRate(double bytesPerMillisecond) override;
    void ShowTimeLeft(uint32_t seconds, uint32_t received, uint32_t length) override;

    std::atomic<long> m_refs{1};
    const TransferTarget m_target;
    const TransferWindows m_windows;
    const TransferLimits m_limits;
    // Set by the user-interface thread only.
    std::atomic<int32_t> m_bCancelRequested{0};

    // The session is asynchronous; the stack's threads report here how a
    // call it finishes later ended (only the worker waits for one at a time).
    // Declared before the request, so that it outlives the request's close.
    UniqueKernelHandle m_callDone;
    std::atomic<DWORD_PTR> m_callResult{0};
    std::atomic<DWORD> m_callError{0};

    // Guards what both threads touch: the request, the file, and whether the
    // run has reported or been given up.
    CriticalSection m_lock;
    UniqueInternet m_hRequest;
    UniqueFile m_fileOut;
    // The request went out: from here on a cancel deletes the file.
    bool m_sending = false;
    bool m_reported = false;
    bool m_abandoned = false;

    // The worker's alone until it reports.
    UniqueInternet m_hSession;
    UniqueInternet m_hConnect;
    Sha256 m_hashWritten;
    std::string m_strError;
};
