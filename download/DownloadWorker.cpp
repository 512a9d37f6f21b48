// The dialog's worker: one GET over WinINet, copied block by block into the
// target file, with the dialog's displays kept current from this thread.
#include <cstdlib>
#include <vector>

#include "product/Limits.h"
#include "download/HttpDownloadDlg.h"
#include "download/ReadBlockSize.h"
#include "framework/FormatString.h"
#include "framework/StringTable.h"
#include "framework/WinInetApi.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD kHeaderTextBytes = 32;
constexpr DWORD kDrainBlockBytes = 50;
constexpr DWORD kStatusOk = 200;
constexpr DWORD kStatusUnauthorized = 401;
constexpr DWORD kStatusProxyAuthRequired = 407;
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

DWORD WINAPI CHttpDownloadDlg::WorkerEntry(LPVOID dialog) {
    static_cast<CHttpDownloadDlg*>(dialog)->RunTransfer();
    return 0;
}

// A cancel before the transfer leaves the (still empty) target file in place.
bool CHttpDownloadDlg::CancelSeen() {
    if (!m_bCancelRequested) return false;
    ::PostMessageA(m_hWnd, WM_TRANSFER_DONE, 0, 0);
    return true;
}

// The dialog has no status line, so the notices are accepted and dropped;
// the session's own notices come with an empty context.
void CALLBACK CHttpDownloadDlg::StatusCallback(HINTERNET, DWORD_PTR, DWORD, LPVOID, DWORD) {}

void CHttpDownloadDlg::FailWithCode(UINT textId, DWORD code) {
    if (code == 0) code = ::GetLastError();
    m_strError = FormatString1(LoadStringText(textId), std::to_string(code));
    m_fileOut.Reset();
    // Nothing depends on the partial file being gone; the owner never runs it.
    (void)::DeleteFileA(m_strTargetPath.c_str());
    ::PostMessageA(m_hWnd, WM_TRANSFER_DONE, 1, 0);
}

void CHttpDownloadDlg::FailWithText(UINT textId) {
    m_strError = LoadStringText(textId);
    ::PostMessageA(m_hWnd, WM_TRANSFER_DONE, 1, 0);
}

// After a 401 or 407: discards the login reply and asks the user for a login.
// Returns 1 with `retry` set when the request should be sent again, 1 with
// `retry` clear when the user declined, 0 when the drain read failed (the run
// has then failed already).
int CHttpDownloadDlg::DrainAndAskForLogin(bool& retry) {
    char drain[kDrainBlockBytes];
    DWORD got = 0;
    do {
        if (!WinInetLibrary().InternetReadFile(m_hRequest.Get(), drain, kDrainBlockBytes, &got)) {
            FailWithCode(IDS_DL_READ_ERROR, 0);
            return 0;
        }
    } while (got != 0);
    const DWORD answer = WinInetLibrary().InternetErrorDlg(m_hWnd, m_hRequest.Get(),
                                                           ERROR_INTERNET_INCORRECT_PASSWORD,
                                                           kLoginDialogFlags, nullptr);
    retry = answer == ERROR_INTERNET_FORCE_RETRY;
    return 1;
}

void CHttpDownloadDlg::RunTransfer() {
    const WinInetApi& wininet = WinInetLibrary();
    if (!wininet) return FailWithCode(IDS_DL_GENERIC_ERROR, ERROR_MOD_NOT_FOUND);
    m_hSession.Reset(wininet.InternetOpenA(ApplicationName().c_str(), kSessionAccessType,
                                           nullptr, nullptr, 0));
    if (!m_hSession) return FailWithCode(IDS_DL_GENERIC_ERROR, 0);
    if (CancelSeen()) return;

    if (wininet.InternetSetStatusCallback(m_hSession.Get(), &CHttpDownloadDlg::StatusCallback) ==
        INTERNET_INVALID_STATUS_CALLBACK) {
        return FailWithCode(IDS_DL_GENERIC_ERROR, 0);
    }
    if (CancelSeen()) return;

    const bool withLogin = !m_strUser.empty();
    m_hConnect.Reset(wininet.InternetConnectA(m_hSession.Get(), m_strHost.c_str(), m_wPort,
                                              withLogin ? m_strUser.c_str() : nullptr,
                                              withLogin ? m_strPassword.c_str() : nullptr,
                                              m_dwService, 0, reinterpret_cast<DWORD_PTR>(this)));
    if (!m_hConnect) return FailWithCode(IDS_DL_CONNECT_ERROR, 0);
    if (CancelSeen()) return;

    const char* acceptTypes[] = {"*/*", nullptr};
    m_hRequest.Reset(wininet.HttpOpenRequestA(m_hConnect.Get(), nullptr, m_strObjectPath.c_str(),
                                              nullptr, nullptr, acceptTypes, kRequestFlags,
                                              reinterpret_cast<DWORD_PTR>(this)));
    if (!m_hRequest) return FailWithCode(IDS_DL_CONNECT_ERROR, 0);
    if (CancelSeen()) return;

    if (!wininet.HttpSendRequestA(m_hRequest.Get(), nullptr, 0, nullptr, 0)) {
        return FailWithCode(IDS_DL_CONNECT_ERROR, 0);
    }

    for (;;) {
        char statusText[kHeaderTextBytes] = {};
        if (!QueryHeaderText(m_hRequest.Get(), HTTP_QUERY_STATUS_CODE, statusText)) {
            return FailWithText(IDS_DL_NO_RESPONSE);
        }
        const DWORD status = std::strtoul(statusText, nullptr, 10);
        if (status == kStatusOk) break;
        if (status != kStatusUnauthorized && status != kStatusProxyAuthRequired) {
            return FailWithCode(IDS_DL_NO_HTTP_RESPONSE, status);
        }
        bool retry = false;
        if (!DrainAndAskForLogin(retry)) return;
        // A declined login leaves nothing to download: the login reply's body
        // is gone, and copying on would report an empty file as a success.
        if (!retry) return FailWithCode(IDS_DL_NO_HTTP_RESPONSE, status);
        if (!wininet.HttpSendRequestA(m_hRequest.Get(), nullptr, 0, nullptr, 0)) {
            return FailWithCode(IDS_DL_CONNECT_ERROR, 0);
        }
    }

    char lengthText[kHeaderTextBytes] = {};
    const bool lengthKnown =
        QueryHeaderText(m_hRequest.Get(), HTTP_QUERY_CONTENT_LENGTH, lengthText);
    const uint32_t length = lengthKnown ? std::strtoul(lengthText, nullptr, 10) : 0;
    if (lengthKnown) SetBarRange(length);

    TransferProgress progress = StartTransferProgress(::GetTickCount(), lengthKnown, length);
    uint32_t total = 0;
    std::vector<char> block(kMaxReadBlockBytes);
    uint32_t asked = kMinReadBlockBytes;
    DWORD got = 0;
    do {
        const DWORD readStart = ::GetTickCount();
        if (!wininet.InternetReadFile(m_hRequest.Get(), block.data(), asked, &got)) {
            return FailWithCode(IDS_DL_READ_ERROR, 0);
        }
        asked = NextReadBlockBytes(asked, got, ::GetTickCount() - readStart);
        if (got != 0 && !m_bCancelRequested) {
            DWORD written = 0;
            if (!::WriteFile(m_fileOut.Get(), block.data(), got, &written, nullptr)) {
                return FailWithCode(IDS_DL_READ_ERROR, ::GetLastError());
            }
            if (written != got) return FailWithCode(IDS_DL_READ_ERROR, kShortWrite);
            m_hashWritten.Update(block.data(), got);
            total += got;
            TrackProgress(progress, total, ::GetTickCount(), *this);
        }
    } while (got != 0 && !m_bCancelRequested);

    // A connection that ends early also ends with a read of 0 bytes; only the
    // announced length tells a cut body from a whole one.
    if (lengthKnown && total < length && !m_bCancelRequested) {
        return FailWithCode(IDS_DL_READ_ERROR, kBodyCutShort);
    }

    // A complete file stays open: closed here, it would be anyone's to write
    // before its owner holds it.
    if (m_bCancelRequested) {
        m_fileOut.Reset();
        (void)::DeleteFileA(m_strTargetPath.c_str());
    }
    ::PostMessageA(m_hWnd, WM_TRANSFER_DONE, 0, 0);
}
