// One mechanism with PropertySheet.cpp: the sheet describes its pages, a page reports its activation.
#include "framework/PropertyPage.h"

#include "framework/PropertySheet.h"
#include "framework/WinApp.h"

void PropertyPage::Construct(UINT templateId) { SetTemplateId(templateId); }

PROPSHEETPAGEA PropertyPage::Describe() {
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = AppInstance();
    page.pszTemplate = MAKEINTRESOURCEA(TemplateId());
    page.pfnDlgProc = PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

BOOL PropertyPage::OnSetActive() { return TRUE; }

BOOL PropertyPage::OnKillActive() { return UpdateData(true) ? TRUE : FALSE; }

LRESULT PropertyPage::OnWizardNext() { return 0; }

LRESULT PropertyPage::OnWizardBack() { return 0; }

BOOL PropertyPage::OnQueryCancel() { return FALSE; }

HWND PropertyPage::SheetWindow() const { return ::GetParent(GetSafeHwnd()); }

BOOL PropertyPage::OnNotify(NMHDR* header, LRESULT* result) {
    // Only the sheet's own notifications; those of the page's controls are
    // the page's business.
    if (header->hwndFrom != SheetWindow()) return FALSE;
    switch (header->code) {
        case PSN_SETACTIVE: {
            if (m_sheetDialog) m_sheetDialog->FitPage(GetSafeHwnd(), m_templateSize);
            const BOOL accepted = OnSetActive();
            if (accepted && m_sheetDialog) m_sheetDialog->PageActivated(this);
            *result = accepted ? 0 : -1;
            return TRUE;
        }
        case PSN_KILLACTIVE:
            *result = OnKillActive() ? FALSE : TRUE;
            return TRUE;
        case PSN_WIZNEXT:
            *result = OnWizardNext();
            return TRUE;
        case PSN_WIZBACK:
            *result = OnWizardBack();
            return TRUE;
        case PSN_QUERYCANCEL:
            *result = OnQueryCancel();
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK PropertyPage::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PropertyPage* page = nullptr;
    if (message == WM_INITDIALOG) {
        // The sheet passes its copy of the page's entry; its lParam is the page.
        const auto* entry = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        page = reinterpret_cast<PropertyPage*>(entry->lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->Attach(window);
        RECT made = {};
        ::GetClientRect(window, &made);
        page->m_templateSize = {made.right, made.bottom};
        return page->OnInitDialog();
    }
    page = reinterpret_cast<PropertyPage*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (!page) return FALSE;
    const INT_PTR result = page->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) page->Attach(nullptr);
    return result;
}
