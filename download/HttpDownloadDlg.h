// The "File Download" dialog: fetches one address into one file on a worker
// thread while it shows percentage, bar, time left and rate, and can be
// cancelled. DoModal returns IDOK only for a complete, uncancelled transfer.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include <windows.h>

#include "download/Sha256.h"
#include "download/TransferProgress.h"
#include "framework/Handles.h"

// Posted by the worker when its run is over: wParam 1 for a failure, else 0.
constexpr UINT WM_TRANSFER_DONE = WM_APP + 1;

class CHttpDownloadDlg : private ProgressDisplay {
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
    LRESULT OnTransferDone(WPARAM wParam, LPARAM lParam);

    // Display operations, called from the worker; each returns once the
    // user-interface thread has applied it (the messages are sent).
    void ShowPercent(int percent) override;
    void SetBarRange(uint32_t length);
    void SetBarPosition(uint32_t received) override;
    void ShowRate(double bytesPerMillisecond) override;
    void ShowTimeLeft(uint32_t seconds, uint32_t received, uint32_t length) override;

    void EndDialog(INT_PTR result);
    HWND m_hWnd = nullptr;

private:
    HWND Owner() const;
    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Returns TRUE when the message was handled.
    BOOL HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& result);

    // The worker (DownloadWorker.cpp).
    static DWORD WINAPI WorkerEntry(LPVOID dialog);
    void RunTransfer();
    bool CancelSeen();
    static void CALLBACK StatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status,
                                        LPVOID information, DWORD informationLength);
    void FailWithCode(UINT textId, DWORD code);
    void FailWithText(UINT textId);
    int DrainAndAskForLogin(bool& retry);

    HWND m_hParent;

    std::string m_strHost;
    std::string m_strObjectPath;
    std::string m_strShownName;
    uint16_t m_wPort = 0;
    uint32_t m_dwService = 0;
    UniqueInternet m_hSession;
    UniqueInternet m_hConnect;
    UniqueInternet m_hRequest;
    // Written by the user-interface thread only, polled by the worker.
    std::atomic<int32_t> m_bCancelRequested{0};
    int32_t m_bCloseAllowed = 0;
    UniqueKernelHandle m_pWorker;
};
