#include "framework/SubclassedControl.h"

namespace {
// The window properties that tie a control's window to its object, and that
// keep the control's own procedure when the object had to leave the chain.
constexpr char kObjectProperty[] = "SubclassedControl.Object";
constexpr char kOrphanedProcProperty[] = "SubclassedControl.OwnProc";

HWND ControlOfMessage(UINT msg, LPARAM lParam) {
    switch (msg) {
        case WM_NOTIFY:
            return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
            // Menu and accelerator commands carry no control (lParam 0).
            return reinterpret_cast<HWND>(lParam);
        default:
            return nullptr;
    }
}
}  // namespace

SubclassedControl::~SubclassedControl() {
    if (m_hWnd) Detach();
}

bool SubclassedControl::SubclassDlgItem(UINT id, HWND parent) {
    if (m_hWnd) return false;
    HWND control = ::GetDlgItem(parent, static_cast<int>(id));
    if (!control || FromHandle(control)) return false;

    m_hWnd = control;
    PreSubclassWindow();
    ::SetPropA(control, kObjectProperty, this);
    m_originalProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedControl::ControlProc)));
    if (!m_originalProc) {
        ::RemovePropA(control, kObjectProperty);
        m_hWnd = nullptr;
        return false;
    }
    return true;
}

bool SubclassedControl::ReflectToControl(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam,
                                         LRESULT* result) {
    HWND control = ControlOfMessage(msg, lParam);
    if (!control || ::GetParent(control) != parent) return false;
    SubclassedControl* object = FromHandle(control);
    if (!object) return false;
    LRESULT handled = 0;
    if (!object->OnReflectedMessage(msg, wParam, lParam, &handled)) return false;
    if (result) *result = handled;
    return true;
}

LRESULT SubclassedControl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(msg, wParam, lParam);
}

bool SubclassedControl::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT SubclassedControl::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_originalProc) return ::CallWindowProcA(m_originalProc, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

SubclassedControl* SubclassedControl::FromHandle(HWND window) {
    return static_cast<SubclassedControl*>(::GetPropA(window, kObjectProperty));
}

LRESULT CALLBACK SubclassedControl::ControlProc(HWND window, UINT msg, WPARAM wParam,
                                                LPARAM lParam) {
    SubclassedControl* object = FromHandle(window);
    if (!object) {
        const auto own = reinterpret_cast<WNDPROC>(::GetPropA(window, kOrphanedProcProperty));
        if (msg == WM_NCDESTROY) ::RemovePropA(window, kOrphanedProcProperty);
        return own ? ::CallWindowProcA(own, window, msg, wParam, lParam)
                   : ::DefWindowProcA(window, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        // The window is going: hand it back to its own procedure first, so the
        // object never sees a message for a window that no longer exists.
        const WNDPROC original = object->m_originalProc;
        object->Detach();
        return ::CallWindowProcA(original, window, msg, wParam, lParam);
    }
    return object->WindowProc(msg, wParam, lParam);
}

void SubclassedControl::Detach() {
    // Only the last one to subclass can restore the procedure; if another
    // subclass came after us, ours stays in the chain and passes everything
    // to the control's own procedure.
    const auto current = ::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC);
    if (current == reinterpret_cast<LONG_PTR>(&SubclassedControl::ControlProc)) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_originalProc));
    } else {
        ::SetPropA(m_hWnd, kOrphanedProcProperty, reinterpret_cast<HANDLE>(m_originalProc));
    }
    ::RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
    m_originalProc = nullptr;
}
