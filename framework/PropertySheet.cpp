// One mechanism with PropertyPage.cpp: the sheet describes its pages, a page reports its activation.
#include "framework/PropertySheet.h"

#include "framework/CommonControlsApi.h"
#include "framework/PropertyPage.h"
#include "framework/WinApp.h"

namespace {

// The sheet being created: PropertySheetA's callback carries no user data,
// and only one sheet runs at a time on the user-interface thread.
PropertySheetDialog* s_sheetBeingCreated = nullptr;

constexpr char kSheetProperty[] = "PropertySheet.this";

// PropertySheetA's answer when the sheet could not be created.
constexpr INT_PTR kSheetFailed = -1;

}  // namespace

PropertySheetDialog::PropertySheetDialog(const char* caption, HWND parent, UINT firstPage)
    : m_psh{}, m_caption(caption ? caption : ""), m_activeIndex(static_cast<int>(firstPage)) {
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.hwndParent = parent;
    m_psh.nStartPage = firstPage;
    m_psh.pfnCallback = SheetCallback;
}

PropertySheetDialog::~PropertySheetDialog() = default;

void PropertySheetDialog::AddPage(PropertyPage* page) {
    m_pages.push_back(page);
    page->m_sheetDialog = this;
}

PropertyPage* PropertySheetDialog::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount()) return nullptr;
    return m_pages[static_cast<size_t>(index)];
}

int PropertySheetDialog::GetPageIndex(const PropertyPage* page) const {
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i] == page) return static_cast<int>(i);
    }
    return -1;
}

void PropertySheetDialog::PageActivated(const PropertyPage* page) { m_activeIndex = GetPageIndex(page); }

void PropertySheetDialog::SetDefaultButton(int id) {
    ::SendMessageA(m_hWnd, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    // A focused button that gets disabled leaves the sheet without keyboard
    // focus; the default button takes it, so that Enter still works. A sheet
    // in the background keeps out of the foreground program's way.
    if (::GetActiveWindow() != m_hWnd) return;
    const HWND focus = ::GetFocus();
    if (!focus || !::IsWindowEnabled(focus)) {
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(m_hWnd, id)), TRUE);
    }
}

INT_PTR PropertySheetDialog::DoModal() {
    m_pageEntries.clear();
    for (PropertyPage* page : m_pages) m_pageEntries.push_back(page->Describe());
    m_psh.hInstance = AppInstance();
    m_psh.pszCaption = m_caption.c_str();
    m_psh.nPages = static_cast<UINT>(m_pageEntries.size());
    m_psh.ppsp = m_pageEntries.data();

    m_activeIndex = static_cast<int>(m_psh.nStartPage);
    s_sheetBeingCreated = this;
    const CommonControlsApi& controls = CommonControlsLibrary();
    const INT_PTR result = controls ? controls.PropertySheetA(&m_psh) : kSheetFailed;
    s_sheetBeingCreated = nullptr;
    return result;
}

BOOL PropertySheetDialog::OnInitDialog() { return TRUE; }

BOOL PropertySheetDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    return static_cast<BOOL>(CallPrevious(WM_COMMAND, wParam, lParam));
}

void PropertySheetDialog::OnSysCommand(UINT id, LPARAM lParam) {
    CallPrevious(WM_SYSCOMMAND, id, lParam);
}

LRESULT PropertySheetDialog::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcA(m_previousProc, m_hWnd, message, wParam, lParam);
}

void PropertySheetDialog::Subclass(HWND window) {
    m_hWnd = window;
    ::SetPropA(window, kSheetProperty, this);
    m_previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
}

int CALLBACK PropertySheetDialog::SheetCallback(HWND window, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED && s_sheetBeingCreated) {
        PropertySheetDialog* sheet = s_sheetBeingCreated;
        sheet->Subclass(window);
        sheet->OnInitDialog();
    }
    return 0;
}

LRESULT CALLBACK PropertySheetDialog::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* sheet = static_cast<PropertySheetDialog*>(::GetPropA(window, kSheetProperty));
    if (!sheet) return ::DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_COMMAND:
            return sheet->OnCommand(wParam, lParam);
        case WM_SYSCOMMAND:
            sheet->OnSysCommand(static_cast<UINT>(wParam), lParam);
            return 0;
        case WM_NCDESTROY: {
            // Give the window back its own procedure before it goes.
            const WNDPROC previous = sheet->m_previousProc;
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            ::RemovePropA(window, kSheetProperty);
            sheet->m_hWnd = nullptr;
            return ::CallWindowProcA(previous, window, message, wParam, lParam);
        }
        default:
            return sheet->CallPrevious(message, wParam, lParam);
    }
}
