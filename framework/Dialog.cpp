#include "framework/Dialog.h"

#include <vector>

#include "framework/SubclassedControl.h"
#include "framework/WinApp.h"

namespace {

bool IsControlColourMessage(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace

INT_PTR Dialog::DoModal(HWND parent) {
    return ::DialogBoxParamA(AppInstance(), MAKEINTRESOURCEA(m_templateId), parent, ModalProc,
                             reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

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

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM) {
    // A plain dialog closes on its OK and Cancel buttons.
    const int id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(id);
        return TRUE;
    }
    return FALSE;
}

BOOL Dialog::OnNotify(NMHDR*, LRESULT*) { return FALSE; }

bool Dialog::DoDataExchange(DataExchange&) { return true; }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

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
            break;
    }
    INT_PTR result = FALSE;
    return OnMessage(message, wParam, lParam, &result) ? result : FALSE;
}

INT_PTR CALLBACK Dialog::ModalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->Attach(window);
        return dialog->OnInitDialog();
    }
    dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (!dialog) return FALSE;
    const INT_PTR result = dialog->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) dialog->Attach(nullptr);
    return result;
}
