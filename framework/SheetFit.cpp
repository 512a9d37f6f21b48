// One class with PropertySheet.cpp: the sheet growing to hold its pages, kept in a file of its own.
#include "framework/PropertySheet.h"

namespace {

// The window class of dialogs, and so of the sheet's pages.
constexpr char kDialogClass[] = "#32770";
constexpr int kClassNameChars = 16;

RECT RectIn(HWND parent, HWND child) {
    RECT area = {};
    ::GetWindowRect(child, &area);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

bool IsPage(HWND child) {
    char name[kClassNameChars] = {};
    ::GetClassNameA(child, name, sizeof name);
    return lstrcmpiA(name, kDialogClass) == 0;
}

LONG Larger(LONG a, LONG b) { return a > b ? a : b; }

// Where a window of that size and wished position fits on the work area.
LONG KeptOn(LONG wished, LONG size, LONG first, LONG last) {
    if (wished + size > last) wished = last - size;
    return wished < first ? first : wished;
}

}  // namespace

void PropertySheetDialog::FitPage(HWND page, SIZE needed) {
    if (!m_hWnd || !page) return;
    const RECT placed = RectIn(m_hWnd, page);
    const LONG width = placed.right - placed.left;
    const LONG height = placed.bottom - placed.top;
    if (needed.cx <= width && needed.cy <= height) return;
    const SIZE grow = {Larger(needed.cx - width - m_grown.cx, 0), Larger(needed.cy - height - m_grown.cy, 0)};
    if (grow.cx > 0 || grow.cy > 0) Grow(placed.bottom + m_grown.cy, grow);
    ::SetWindowPos(page, nullptr, 0, 0, Larger(width, needed.cx), Larger(height, needed.cy),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PropertySheetDialog::Grow(LONG pagesBottom, SIZE grow) {
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const RECT area = RectIn(m_hWnd, child);
        // The pages and the hidden tab control that holds their place stay.
        if (IsPage(child) || area.top < pagesBottom) continue;
        // The line spans the sheet; the buttons keep to its right edge.
        const bool line = ::GetDlgCtrlID(child) == kWizardLine;
        ::SetWindowPos(child, nullptr, area.left + (line ? 0 : grow.cx), area.top + grow.cy,
                       area.right - area.left + (line ? grow.cx : 0), area.bottom - area.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT outer = {};
    ::GetWindowRect(m_hWnd, &outer);
    const LONG width = outer.right - outer.left + grow.cx;
    const LONG height = outer.bottom - outer.top + grow.cy;
    RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    (void)::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ::SetWindowPos(m_hWnd, nullptr, KeptOn(outer.left - grow.cx / 2, width, work.left, work.right),
                   KeptOn(outer.top - grow.cy / 2, height, work.top, work.bottom), width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    m_grown.cx += grow.cx;
    m_grown.cy += grow.cy;
}
