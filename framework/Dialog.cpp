#include "framework/Dialog.h"

#include <vector>

#include "framework/SubclassedControl.h"

namespace {

bool IsControlColourMessage(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace

HWND Dialog::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

std::string Dialog::GetDlgItemText(int id, int limit) const {
    std::vector<char> buffer(static_cast<size_t>(limit > 0 ? limit : 1), '\0');
    const UINT length = ::GetDlgItemTextA(m_hWnd, id, buffer.data(), limit);
    return std::string(buffer.data(), length);
}

void Dialog::SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }

bool Dialog::IsDlgButtonChecked(int id) const {
    return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED;
}

void Dialog::CheckDlgButton(int id, bool checked) {
    ::CheckDlgButton(m_hWnd, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Dialog::EnableDlgItem(int id, bool enable) { ::EnableWindow(GetDlgItem(id), enable); }

void Dialog::ShowDlgItem(int id, bool show) { ::ShowWindow(GetDlgItem(id), show ? SW_SHOW : SW_HIDE); }

LRESULT Dialog::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
}

void Dialog::SetDlgItemFont(int id, HFONT font) {
    SendDlgItemMessage(id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange exchange{m_hWnd, saveAndValidate};
    return DoDataExchange(exchange);
}

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

BOOL Dialog::OnCommand(WPARAM, LPARAM) { return FALSE; }

BOOL Dialog::OnNotify(NMHDR*, LRESULT*) { return FALSE; }

bool Dialog::DoDataExchange(DataExchange&) { return true; }

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == WM_NOTIFY || IsControlColourMessage(message)) {
        LRESULT reflected = 0;
        if (SubclassedControl::ReflectToControl(m_hWnd, message, wParam, lParam, &reflected)) {
            // Colour messages return their brush directly; the others report
            // their result through the dialog's message result.
            if (IsControlColourMessage(message)) return static_cast<INT_PTR>(reflected);
            ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, reflected);
            return TRUE;
        }
    }
    switch (message) {
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (!OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) return FALSE;
            ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        default:
            return FALSE;
    }
}
