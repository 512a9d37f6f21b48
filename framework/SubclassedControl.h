// A control of a dialog taken over by an object: its window procedure is
// replaced so the object sees every message first, and notifications that the
// parent receives about it (commands, notifications, colour requests) are
// reflected back to it.
#pragma once

#include <windows.h>

class SubclassedControl {
public:
    SubclassedControl() = default;
    virtual ~SubclassedControl();
    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;

    // Takes over the control `id` of `parent`. PreSubclassWindow runs first,
    // while the control still has its own window procedure. False when there is
    // no such control, this object is attached already, or the control belongs
    // to another object.
    bool SubclassDlgItem(UINT id, HWND parent);

    HWND GetSafeHwnd() const { return m_hWnd; }
    bool IsAttached() const { return m_hWnd != nullptr; }

    // Called by a parent's window procedure for WM_COMMAND, WM_NOTIFY and the
    // WM_CTLCOLOR* requests. When the control named by the message is attached
    // to an object that handles it, stores that object's result and returns true.
    static bool ReflectToControl(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam,
                                 LRESULT* result);

protected:
    virtual void PreSubclassWindow() {}
    // Every message of the attached control; the default passes it on.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // A message the parent received about this control; true when handled.
    virtual bool OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The control's own window procedure.
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK ControlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static SubclassedControl* FromHandle(HWND window);
    void Detach();

    HWND m_hWnd = nullptr;
    WNDPROC m_originalProc = nullptr;
};
