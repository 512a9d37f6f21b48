// The dialog's worker: one GET over WinINet, copied block by block into the
// target file, with the dialog's displays kept current from this thread.
#include <cstdlib>
#include <vector>

#include "download/BodyLimits.h"
#include "download/ReadBlockSize.h"
#include "download/TransferRun.h"
#include "framework/FormatString.h"
#include "framework/StringTable.h"
#include "framework/WinInetApi.h"
#include "product/Limits.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD kHeaderTextBytes = 32;
constexpr DWORD kDrainBlockBytes = 50;
constexpr DWORD kStatusOk = 200;
constexpr DWORD kStatusUnauthorized = 401;
constexpr DWORD kStatusProxyAuthRequired = 407;
// Calls that wait for the network finish on the stack's threads, so that a
// read can take what has arrived without waiting for more.
constexpr DWORD kSessionFlags = INTERNET_FLAG_ASYNC;
// Fetch from the origin, keep the reply out of the cache, keep the connection.
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;
static_assert(kRequestFlags == 0x84400000, "request flags");
// Session with the system's preconfigured proxy settings (access type 0).
constexpr DWORD kSessionAccessType = INTERNET_OPEN_TYPE_PRECONFIG;
static_assert(kSessionAccessType == 0, "session access type");
constexpr DWORD kLoginDialogFlags =
    FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS |
    FLAGS_ERROR_UI_FLAGS_GENERATE_DATA;
static_assert(kLoginDialogFlags == 7, "login dialog flags");
// Code of the failure text when the body ends before its announced length.
constexpr DWORD kBodyCutShort = ERROR_HANDLE_EOF;
// Code of the failure text when the file took fewer bytes than it was given.
constexpr DWORD kShortWrite = ERROR_DISK_FULL;
// Code of the failure text when a reply is longer than the run takes.
constexpr DWORD kReplyTooLarge = ERROR_FILE_TOO_LARGE;

// The agent text: the base name of the running program, without extension.
std::string ApplicationName() {
    char path[kMaxPath] = {};
    // An unreadable name leaves an empty agent text; the request still goes out.
    (void)::GetModuleFileNameA(nullptr, path, kMaxPath);
    std::string name = path;
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

bool QueryHeaderText(HINTERNET request, DWORD query, char (&text)[kHeaderTextBytes]) {
    DWORD size = kHeaderTextBytes;
    DWORD index = 0;
    return WinInetLibrary().HttpQueryInfoA(request, query, text, &size, &index) != FALSE;
}

}  // namespace

// The first report wins; once the dialog gave up on the run nothing is
// posted, so no later dialog in that window's place hears of it.
void TransferRun::Report(WPARAM failed) {
    if (m_abandoned) return;
    m_reported = true;
    ::PostMessageA(m_windows.dialog, WM_TRANSFER_DONE, failed, 0);
}

// A cancel before the request went out leaves the (still empty) target file
// in place; one after it deletes the partly written file.
void TransferRun::EndCancelled() {
    ScopedLock lock(m_lock);
    if (m_sending && !m_abandoned) {
        m_fileOut.Reset();
        (void)::DeleteFileA(m_target.targetPath.c_str());
    }
    Report(0);
}

bool TransferRun::CancelSeen() {
    if (!m_bCancelRequested) return false;
    EndCancelled();
    return true;
}

// The dialog has no status line, so the notices are dropped but one: how a
// call the stack finishes later ended. Only the request carries the run as
// its context; the session and the connection have none, so none of theirs
// is taken for the request's.
void CALLBACK TransferRun::StatusCallback(HINTERNET, DWORD_PTR context, DWORD status,
                                          LPVOID information, DWORD) {
    if (status != INTERNET_STATUS_REQUEST_COMPLETE || context == 0) return;
    auto* run = reinterpret_cast<TransferRun*>(context);
    const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(information);
    run->m_callResult = result->dwResult;
    run->m_callError = result->dwError;
    (void)::SetEvent(run->m_callDone.Get());
}

// Waits for a call that the stack finishes later, as a synchronous call
// would wait; a Cancel that closes its request ends it as it ended that one.
// False, with the call's error as the last error, when the call failed.
bool TransferRun::FinishCall(BOOL finished) {
    if (finished) return true;
    if (::GetLastError() != ERROR_IO_PENDING) return false;
    (void)::WaitForSingleObject(m_callDone.Get(), INFINITE);
    if (m_callResult != 0) return true;
    ::SetLastError(m_callError);
    return false;
}

// Reads what has arrived, up to `asked` bytes, waiting only while nothing
// has. `got` is 0 only at the end of the body. False when a call failed.
bool TransferRun::ReadArrived(HINTERNET request, char* block, uint32_t asked, DWORD& got) {
    const WinInetApi& wininet = WinInetLibrary();
    for (;;) {
        INTERNET_BUFFERSA buffers = {};
        buffers.dwStructSize = sizeof buffers;
        buffers.lpvBuffer = block;
        buffers.dwBufferLength = asked;
        const BOOL finished = wininet.InternetReadFileExA(request, &buffers, IRF_NO_WAIT,
                                                          reinterpret_cast<DWORD_PTR>(this));
        switch (AnswerOfNoWaitRead(finished != FALSE, buffers.dwBufferLength)) {
        case NoWaitAnswer::TakeBytes:
            got = buffers.dwBufferLength;
            return true;
        case NoWaitAnswer::AwaitBytes:
            if (!FinishCall(finished)) return false;
            break;
        case NoWaitAnswer::AskForEnd:
            got = 0;
            return FinishCall(wininet.InternetReadFile(request, block, kMinReadBlockBytes, &got));
        }
    }
}

void TransferRun::FailWithCode(UINT textId, DWORD code) {
    if (code == 0) code = ::GetLastError();
    ScopedLock lock(m_lock);
    if (m_abandoned) return;
    m_strError = FormatString1(LoadStringText(textId), std::to_string(code));
    m_fileOut.Reset();
    // Nothing depends on the partial file being gone; the owner never runs it.
    (void)::DeleteFileA(m_target.targetPath.c_str());
    Report(1);
}

void TransferRun::FailWithText(UINT textId) {
    ScopedLock lock(m_lock);
    if (m_abandoned) return;
    m_strError = LoadStringText(textId);
    Report(1);
}

// A network call failed: because Cancel closed its request, or on its own.
void TransferRun::FailCall(UINT textId) {
    const DWORD code = ::GetLastError();
    if (CancelSeen()) return;
    FailWithCode(textId, code);
}

// Set on the session for the handles made from it, and on the request
// itself, since not every stack hands the session's values down (Wine's
// does not).
void TransferRun::SetTimeouts(HINTERNET handle) {
    const WinInetApi& wininet = WinInetLibrary();
    DWORD connect = m_limits.timeouts.connectMs;
    DWORD send = m_limits.timeouts.sendMs;
    DWORD receive = m_limits.timeouts.receiveMs;
    // A stack that refuses one still works, only without that bound.
    (void)wininet.InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect,
                                     sizeof connect);
    (void)wininet.InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &send, sizeof send);
    (void)wininet.InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive,
                                     sizeof receive);
}

// Creates the request where Cancel can close it. False when the run is over
// (cancelled or failed).
bool TransferRun::OpenRequest() {
    const char* acceptTypes[] = {"*/*", nullptr};
    UniqueInternet request(WinInetLibrary().HttpOpenRequestA(
        m_hConnect.Get(), nullptr, m_target.objectPath.c_str(), nullptr, nullptr, acceptTypes,
        kRequestFlags, reinterpret_cast<DWORD_PTR>(this)));
    if (!request) {
        FailWithCode(IDS_DL_CONNECT_ERROR, 0);
        return false;
    }
    SetTimeouts(request.Get());
    {
        ScopedLock lock(m_lock);
        if (!m_bCancelRequested) {
            m_hRequest = std::move(request);
            m_sending = true;
            return true;
        }
    }
    EndCancelled();
    return false;
}

// After a 401 or 407: discards the login reply and asks the user for a login.
// Returns 1 with `retry` set when the request should be sent again, 1 with
// `retry` clear when the user declined, 0 when the run is over (a failed or
// cancelled drain, or a reply too long for a login page).
int TransferRun::DrainAndAskForLogin(HINTERNET request, bool& retry) {
    char drain[kDrainBlockBytes];
    uint64_t drained = 0;
    DWORD got = 0;
    do {
        if (!FinishCall(WinInetLibrary().InternetReadFile(request, drain, kDrainBlockBytes, &got))) {
            FailCall(IDS_DL_READ_ERROR);
            return 0;
        }
        if (CancelSeen()) return 0;
        if (PassesLimit(drained, got, kMaxLoginReplyBytes)) {
            FailWithCode(IDS_DL_READ_ERROR, kReplyTooLarge);
            return 0;
        }
        drained += got;
    } while (got != 0);
    const DWORD answer = WinInetLibrary().InternetErrorDlg(m_windows.dialog, request,
                                                           ERROR_INTERNET_INCORRECT_PASSWORD,
                                                           kLoginDialogFlags, nullptr);
    retry = answer == ERROR_INTERNET_FORCE_RETRY;
    return 1;
}

// Writes one block unless Cancel came first. False with `error` 0 after a
// cancel, else with the file's error.
bool TransferRun::WriteBlock(const char* bytes, DWORD size, DWORD& error) {
    ScopedLock lock(m_lock);
    error = 0;
    if (m_bCancelRequested) return false;
    DWORD written = 0;
    if (!::WriteFile(m_fileOut.Get(), bytes, size, &written, nullptr)) {
        error = ::GetLastError();
        return false;
    }
    if (written != size) {
        error = kShortWrite;
        return false;
    }
    return true;
}

void TransferRun::RunTransfer() {
    const WinInetApi& wininet = WinInetLibrary();
    if (!wininet) return FailWithCode(IDS_DL_GENERIC_ERROR, ERROR_MOD_NOT_FOUND);
    m_callDone.Reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!m_callDone) return FailWithCode(IDS_DL_GENERIC_ERROR, 0);
    m_hSession.Reset(wininet.InternetOpenA(ApplicationName().c_str(), kSessionAccessType,
                                           nullptr, nullptr, kSessionFlags));
    if (!m_hSession) return FailWithCode(IDS_DL_GENERIC_ERROR, 0);
    SetTimeouts(m_hSession.Get());
    if (CancelSeen()) return;

    if (wininet.InternetSetStatusCallback(m_hSession.Get(), &TransferRun::StatusCallback) ==
        INTERNET_INVALID_STATUS_CALLBACK) {
        return FailWithCode(IDS_DL_GENERIC_ERROR, 0);
    }
    if (CancelSeen()) return;

    const bool withLogin = !m_target.user.empty();
    m_hConnect.Reset(wininet.InternetConnectA(
        m_hSession.Get(), m_target.host.c_str(), m_target.port,
        withLogin ? m_target.user.c_str() : nullptr,
        withLogin ? m_target.password.c_str() : nullptr, m_target.service, 0, 0));
    if (!m_hConnect) return FailWithCode(IDS_DL_CONNECT_ERROR, 0);
    if (CancelSeen()) return;

    if (!OpenRequest()) return;
    // Cancel may close the request from the other thread at any moment; the
    // calls below then fail, and each failure asks first whether it did.
    const HINTERNET request = m_hRequest.Get();

    for (;;) {
        const DWORD sendStart = ::GetTickCount();
        if (!FinishCall(wininet.HttpSendRequestA(request, nullptr, 0, nullptr, 0))) {
            // A server that never answers fails as one that stops sending.
            const bool silent = ::GetLastError() == ERROR_INTERNET_TIMEOUT ||
                                ::GetTickCount() - sendStart >= m_limits.timeouts.receiveMs;
            if (CancelSeen()) return;
            return silent ? FailWithCode(IDS_DL_READ_ERROR, ERROR_INTERNET_TIMEOUT)
                          : FailWithCode(IDS_DL_CONNECT_ERROR, 0);
        }
        char statusText[kHeaderTextBytes] = {};
        if (!QueryHeaderText(request, HTTP_QUERY_STATUS_CODE, statusText)) {
            if (CancelSeen()) return;
            return FailWithText(IDS_DL_NO_RESPONSE);
        }
        const DWORD status = std::strtoul(statusText, nullptr, 10);
        if (status == kStatusOk) break;
        if (status != kStatusUnauthorized && status != kStatusProxyAuthRequired) {
            return FailWithCode(IDS_DL_NO_HTTP_RESPONSE, status);
        }
        bool retry = false;
        if (!DrainAndAskForLogin(request, retry)) return;
        // A declined login leaves nothing to download: the login reply's body
        // is gone, and copying on would report an empty file as a success.
        if (!retry) return FailWithCode(IDS_DL_NO_HTTP_RESPONSE, status);
    }

    char lengthText[kHeaderTextBytes] = {};
    const bool lengthKnown = QueryHeaderText(request, HTTP_QUERY_CONTENT_LENGTH, lengthText);
    const uint64_t length = lengthKnown ? AnnouncedLength(lengthText) : 0;
    if (length > m_limits.maxBodyBytes) return FailWithCode(IDS_DL_READ_ERROR, kReplyTooLarge);
    if (lengthKnown) SetBarRange(static_cast<uint32_t>(length));

    TransferProgress progress =
        StartTransferProgress(::GetTickCount(), lengthKnown, static_cast<uint32_t>(length));
    uint32_t total = 0;
    std::vector<char> block(kMaxReadBlockBytes);
    uint32_t asked = kMinReadBlockBytes;
    DWORD got = 0;
    do {
        const DWORD readStart = ::GetTickCount();
        if (!ReadArrived(request, block.data(), asked, got)) return FailCall(IDS_DL_READ_ERROR);
        asked = NextReadBlockBytes(asked, got, ::GetTickCount() - readStart);
        if (got == 0) break;
        if (PassesLimit(total, got, m_limits.maxBodyBytes)) {
            return FailWithCode(IDS_DL_READ_ERROR, kReplyTooLarge);
        }
        DWORD error = 0;
        if (!WriteBlock(block.data(), got, error)) {
            if (error == 0) return EndCancelled();
            return FailWithCode(IDS_DL_READ_ERROR, error);
        }
        m_hashWritten.Update(block.data(), got);
        total += got;
        TrackProgress(progress, total, ::GetTickCount(), *this);
    } while (!m_bCancelRequested);

    if (CancelSeen()) return;
    // A connection that ends early also ends with a read of 0 bytes; only the
    // announced length tells a cut body from a whole one.
    if (CutShort(lengthKnown, length, total)) return FailWithCode(IDS_DL_READ_ERROR, kBodyCutShort);

    // A complete file stays open: closed here, it would be anyone's to write
    // before its owner holds it.
    ScopedLock lock(m_lock);
    Report(0);
}
