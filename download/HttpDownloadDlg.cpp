#include "download/HttpDownloadDlg.h"

#include <commctrl.h>

#include "download/DownloadAddress.h"
#include "download/HeldFile.h"
#include "framework/CommonControlsApi.h"
#include "framework/WinApp.h"
#include "res/ResourceIds.h"

namespace {

// A cancelled worker that has not reported by then is given up: the stack
// did not abort its call when the request closed.
constexpr UINT kCancelGraceMs = 500;
constexpr UINT_PTR kCancelGraceTimer = 1;

}  // namespace

CHttpDownloadDlg::CHttpDownloadDlg(HWND parent) : m_hParent(parent) {}

// A file the worker left open (a cancel before the transfer, an unreadable
// status) is closed with the object, by m_fileOut.
CHttpDownloadDlg::~CHttpDownloadDlg() {
    if (m_run) m_run->Release();
}

// Without a parent of its own the dialog belongs to the program's main window
// (the wizard), which stays disabled while the transfer runs: the wizard is
// inside its install step and must not be pressed on meanwhile.
HWND CHttpDownloadDlg::Owner() const {
    if (m_hParent) return m_hParent;
    const WinApp* app = WinApp::Current();
    return app ? app->MainWindow() : nullptr;
}

INT_PTR CHttpDownloadDlg::DoModal() {
    // The template's bar is a common control; its class must exist first.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    RegisterCommonControlClasses(&controls);
    return ::DialogBoxParamA(AppInstance(), MAKEINTRESOURCEA(IDD_DOWNLOAD), Owner(),
                             &CHttpDownloadDlg::DialogProc, reinterpret_cast<LPARAM>(this)) ==
                   IDOK
               ? IDOK
               : IDCANCEL;
}

void CHttpDownloadDlg::EndDialog(INT_PTR result) {
    ::EndDialog(m_hWnd, result);
}

INT_PTR CALLBACK CHttpDownloadDlg::DialogProc(HWND wnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(wnd, DWLP_USER, lParam);
        reinterpret_cast<CHttpDownloadDlg*>(lParam)->m_hWnd = wnd;
    }
    auto* dialog = reinterpret_cast<CHttpDownloadDlg*>(::GetWindowLongPtrA(wnd, DWLP_USER));
    if (!dialog) return FALSE;
    BOOL result = FALSE;
    if (!dialog->HandleMessage(message, wParam, lParam, result)) return FALSE;
    return result;
}

BOOL CHttpDownloadDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& result) {
    switch (message) {
    case WM_INITDIALOG:
        DoDataExchange();
        result = OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        // The Cancel button is the default button, so Enter lands here too,
        // and the dialog manager turns Esc into IDCANCEL.
        if (LOWORD(wParam) != IDCANCEL) return FALSE;
        OnCancel();
        result = TRUE;
        return TRUE;
    case WM_CLOSE:
        if (m_bCloseAllowed) return FALSE;
        OnClose();
        result = TRUE;
        return TRUE;
    case WM_TIMER:
        OnTimer(wParam);
        result = TRUE;
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_TRANSFER_DONE:
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, OnTransferDone(wParam, lParam));
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

void CHttpDownloadDlg::DoDataExchange() {
    m_ctlHeading = ::GetDlgItem(m_hWnd, IDC_DL_HEADING);
    m_ctlRate = ::GetDlgItem(m_hWnd, IDC_DL_RATE);
    m_ctlRemaining = ::GetDlgItem(m_hWnd, IDC_DL_REMAINING);
    m_ctlBar = ::GetDlgItem(m_hWnd, IDC_DL_BAR);
    m_ctlSource = ::GetDlgItem(m_hWnd, IDC_DL_SOURCE);
}

BOOL CHttpDownloadDlg::OnInitDialog() {
    UrlParts parts;
    if (!SplitUrlWithDefaultScheme(m_strUrl, parts)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_dwService = parts.service;
    m_strHost = parts.host;
    m_wPort = parts.port;
    m_strObjectPath = parts.objectPath;

    // A new file under the name, never one planted there; others may read it
    // while it grows, never write it.
    m_fileOut = CreateFileAfresh(m_strTargetPath);
    if (!m_fileOut) {
        EndDialog(IDCANCEL);
        return TRUE;
    }

    m_strShownName = ShownNameFor(m_strObjectPath);
    ::SetWindowTextA(m_ctlSource, m_strSourceLabel.c_str());

    TransferTarget target;
    target.host = m_strHost;
    target.port = m_wPort;
    target.service = m_dwService;
    target.objectPath = m_strObjectPath;
    target.user = m_strUser;
    target.password = m_strPassword;
    target.targetPath = m_strTargetPath;
    TransferWindows windows{m_hWnd, m_ctlBar, m_ctlRate, m_ctlRemaining, m_strShownName};
    m_run = new TransferRun(std::move(target), std::move(windows), m_limits,
                            std::move(m_fileOut));

    // Suspended, so that m_pWorker holds the thread before it can run; the
    // thread holds a reference of its own on the run.
    m_run->AddRef();
    DWORD threadId = 0;
    m_pWorker.Reset(::CreateThread(nullptr, 0, &TransferRun::WorkerEntry, m_run,
                                   CREATE_SUSPENDED, &threadId));
    if (!m_pWorker) {
        m_run->Release();
        m_fileOut = m_run->TakeFile();
        EndDialog(IDCANCEL);
        return TRUE;
    }
    // A press that came before the run existed stops it at its first check.
    if (m_bCancelRequested) CancelRun();
    ::ResumeThread(m_pWorker.Get());
    return TRUE;
}

LRESULT CHttpDownloadDlg::OnTransferDone(WPARAM wParam, LPARAM) {
    m_bCloseAllowed = 1;
    m_strError = m_run->Error();
    m_fileOut = m_run->TakeFile();
    m_hashWritten = m_run->HashWritten();
    EndDialog(m_bCancelRequested || wParam != 0 ? IDCANCEL : IDOK);
    return 0;
}

// Closing the request aborts the worker's blocking call where the stack
// allows it; the dialog ends when the worker reports, or when it has not
// within the grace period.
void CHttpDownloadDlg::OnCancel() {
    if (m_bCancelRequested) return;
    m_bCancelRequested = 1;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDCANCEL), FALSE);
    if (m_run) CancelRun();
}

void CHttpDownloadDlg::CancelRun() {
    m_run->Cancel();
    ::SetTimer(m_hWnd, kCancelGraceTimer, kCancelGraceMs, nullptr);
}

void CHttpDownloadDlg::OnClose() {
    OnCancel();
}

void CHttpDownloadDlg::OnTimer(UINT_PTR id) {
    if (id != kCancelGraceTimer) return;
    ::KillTimer(m_hWnd, kCancelGraceTimer);
    // A worker that reported meanwhile has its message on the way.
    if (m_bCloseAllowed || !m_run->Abandon()) return;
    m_bWorkerGivenUp = true;
    m_bCloseAllowed = 1;
    EndDialog(IDCANCEL);
}

// A worker that reported sends nothing more, so the wait is short; one that
// was given up keeps its own reference on the run and ends on its own.
void CHttpDownloadDlg::OnDestroy() {
    ::KillTimer(m_hWnd, kCancelGraceTimer);
    if (m_pWorker) {
        if (!m_bWorkerGivenUp) ::WaitForSingleObject(m_pWorker.Get(), INFINITE);
        m_pWorker.Reset();
    }
    if (m_run) {
        m_run->Release();
        m_run = nullptr;
    }
}
