// The "File Download" dialog: fetches one address into one file on a worker
// thread while it shows percentage, bar, time left and rate, and can be
// cancelled. DoModal returns IDOK only for a complete, uncancelled transfer.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>

#include "download/Sha256.h"
#include "download/TransferRun.h"
#include "framework/Handles.h"

class CHttpDownloadDlg {
public:
    explicit CHttpDownloadDlg(HWND parent = nullptr);
    virtual ~CHttpDownloadDlg();
    CHttpDownloadDlg(const CHttpDownloadDlg&) = delete;
    CHttpDownloadDlg& operator=(const CHttpDownloadDlg&) = delete;

    // Runs the dialog from template IDD_DOWNLOAD; IDOK or IDCANCEL.
    INT_PTR DoModal();

    // Inputs, set by the owner before DoModal.
    std::string m_strUrl;
    std::string m_strTargetPath;
    std::string m_strUser;
    std::string m_strPassword;
    std::string m_strSourceLabel;
    // Time-outs and the largest body taken; the owner may set others.
    TransferLimits m_limits;

    HWND m_ctlHeading = nullptr;
    HWND m_ctlRate = nullptr;
    HWND m_ctlRemaining = nullptr;
    HWND m_ctlBar = nullptr;
    HWND m_ctlSource = nullptr;

    // The worker's failure text; read it after DoModal returned.
    std::string m_strError;

    // After IDOK: the complete file, still open for writing with only reading
    // shared, for the owner to hold (HeldFile.h) before closing this writer,
    // and the SHA-256 of every byte written into it.
    UniqueFile m_fileOut;
    Sha256 m_hashWritten;

protected:
    virtual void DoDataExchange();
    virtual BOOL OnInitDialog();
    virtual void OnCancel();
    void OnClose();
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    LRESULT OnTransferDone(WPARAM wParam, LPARAM lParam);

    void EndDialog(INT_PTR result);
    HWND m_hWnd = nullptr;

private:
    HWND Owner() const;
    void CancelRun();
    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Returns TRUE when the message was handled.
    BOOL HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& result);

    HWND m_hParent;

    std::string m_strHost;
    std::string m_strObjectPath;
    std::string m_strShownName;
    uint16_t m_wPort = 0;
    uint32_t m_dwService = 0;
    int32_t m_bCancelRequested = 0;
    int32_t m_bCloseAllowed = 0;
    bool m_bWorkerGivenUp = false;
    // Shared with the worker; null once released.
    TransferRun* m_run = nullptr;
    UniqueKernelHandle m_pWorker;
};
