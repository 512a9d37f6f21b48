// A dialog window from a template: control access by id, data exchange and
// message dispatch to virtual handlers. Control notifications go to the
// subclassed control that sent them first (reflection), so a label can handle
// its own clicks and colours.
#pragma once

#include <string>

#include <windows.h>

// The argument of DoDataExchange: which way the data go and on which window.
struct DataExchange {
    HWND dialog;
    bool saveAndValidate;
};

class Dialog {
public:
    Dialog() = default;
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    UINT TemplateId() const { return m_templateId; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    HWND GetDlgItem(int id) const;
    // The control's text, read into a buffer of `limit` bytes (zero included).
    std::string GetDlgItemText(int id, int limit) const;
    void SetDlgItemText(int id, const char* text);
    bool IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, bool checked);
    void EnableDlgItem(int id, bool enable);
    void ShowDlgItem(int id, bool show);
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam);
    // Switches the control to a font it does not own, and redraws it.
    void SetDlgItemFont(int id, HFONT font);

    // Calls DoDataExchange; false when it found invalid data.
    bool UpdateData(bool saveAndValidate);

protected:
    void SetTemplateId(UINT templateId) { m_templateId = templateId; }

    // WM_INITDIALOG: by default exchanges data into the controls; TRUE lets
    // the system set the focus.
    virtual BOOL OnInitDialog();
    // WM_COMMAND that no control took as a reflected notification; TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY that no control took; TRUE with *result set when handled.
    virtual BOOL OnNotify(NMHDR* header, LRESULT* result);
    virtual bool DoDataExchange(DataExchange& exchange);

    // The common dispatch of a dialog procedure once the window is attached;
    // the derived class's procedure attaches it at WM_INITDIALOG.
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window) { m_hWnd = window; }

private:
    UINT m_templateId = 0;
    HWND m_hWnd = nullptr;
};
