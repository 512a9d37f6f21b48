#include "download/HttpDownloadDlg.h"

#include <commctrl.h>

#include "download/DownloadAddress.h"
#include "download/DownloadDisplay.h"
#include "download/HeldFile.h"
#include "framework/CommonControlsApi.h"
#include "framework/FormatString.h"
#include "framework/StringTable.h"
#include "framework/WinApp.h"
#include "res/ResourceIds.h"

namespace {

std::string DialogText(unsigned id) {
    return LoadStringText(id);
}

}  // namespace

CHttpDownloadDlg::CHttpDownloadDlg(HWND parent) : m_hParent(parent) {}

// A file the worker left open (a cancel before the transfer, an unreadable
// status) is closed with the object, by m_fileOut.
CHttpDownloadDlg::~CHttpDownloadDlg() = default;

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

    // Suspended, so that m_pWorker holds the thread before it can run.
    DWORD threadId = 0;
    m_pWorker.Reset(::CreateThread(nullptr, 0, &CHttpDownloadDlg::WorkerEntry, this,
                                   CREATE_SUSPENDED, &threadId));
    if (!m_pWorker) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    ::ResumeThread(m_pWorker.Get());
    return TRUE;
}

LRESULT CHttpDownloadDlg::OnTransferDone(WPARAM wParam, LPARAM) {
    m_bCloseAllowed = 1;
    EndDialog(m_bCancelRequested || wParam != 0 ? IDCANCEL : IDOK);
    return 0;
}

// The dialog stays until the worker reports; it stops at its next check.
void CHttpDownloadDlg::OnCancel() {
    m_bCancelRequested = 1;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDCANCEL), FALSE);
}

void CHttpDownloadDlg::OnClose() {
    OnCancel();
}

// Only reached after WM_TRANSFER_DONE (or before the worker started), so the
// worker sends nothing more and the wait cannot block on this thread.
void CHttpDownloadDlg::OnDestroy() {
    if (m_pWorker) {
        ::WaitForSingleObject(m_pWorker.Get(), INFINITE);
        m_pWorker.Reset();
    }
    m_hRequest.Reset();
    m_hConnect.Reset();
    m_hSession.Reset();
}

void CHttpDownloadDlg::ShowPercent(int percent) {
    ::SetWindowTextA(m_hWnd, FormatPercentCaption(percent, m_strShownName, DialogText).c_str());
}

void CHttpDownloadDlg::SetBarRange(uint32_t length) {
    ::SendMessageA(m_ctlBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(BarRangeFor(length)));
}

void CHttpDownloadDlg::SetBarPosition(uint32_t received) {
    ::SendMessageA(m_ctlBar, PBM_SETPOS, BarPositionFor(received), 0);
}

void CHttpDownloadDlg::ShowRate(double bytesPerMillisecond) {
    ::SetWindowTextA(m_ctlRate, FormatRateLine(bytesPerMillisecond, DialogText).c_str());
}

void CHttpDownloadDlg::ShowTimeLeft(uint32_t seconds, uint32_t received, uint32_t length) {
    ::SetWindowTextA(m_ctlRemaining,
                     FormatTimeLeftLine(seconds, received, length, DialogText).c_str());
}
