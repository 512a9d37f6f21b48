// A property sheet over the common controls' PropertySheetA. The sheet's
// window is subclassed while it exists, so that derived sheets see its
// commands, system commands and initialisation as virtual operations.
#pragma once

#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

class PropertyPage;

// The sheet's own Back and Next buttons in wizard mode.
constexpr int kWizardBackButton = 0x3023;
constexpr int kWizardNextButton = 0x3024;
// The etched line above a wizard's buttons.
constexpr int kWizardLine = 0x3026;

class PropertySheetDialog {
public:
    PropertySheetDialog(const char* caption, HWND parent, UINT firstPage);
    virtual ~PropertySheetDialog();
    PropertySheetDialog(const PropertySheetDialog&) = delete;
    PropertySheetDialog& operator=(const PropertySheetDialog&) = delete;

    // Pages are added before the sheet is shown; the sheet does not own them.
    void AddPage(PropertyPage* page);
    // Shows the sheet modally; PropertySheetA's result.
    INT_PTR DoModal();

    HWND GetSafeHwnd() const { return m_hWnd; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    PropertyPage* GetPage(int index) const;
    // The index of the page on show: the last page that accepted its
    // activation; the first page before the sheet exists.
    int GetActiveIndex() const { return m_activeIndex; }
    int GetPageIndex(const PropertyPage* page) const;

    // Makes the button the sheet's default, as a wizard's button set-up does
    // when it disables the others: Enter presses it, and a keyboard focus
    // that was left on a disabled button moves to it.
    void SetDefaultButton(int id);

    // The header given to PropertySheetA; a derived sheet adds its flags here.
    PROPSHEETHEADERA m_psh;

protected:
    // Runs once the sheet's window exists and holds its pages and buttons.
    virtual BOOL OnInitDialog();
    // WM_COMMAND to the sheet; TRUE when swallowed. The default passes it on.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_SYSCOMMAND to the sheet; the default passes it on.
    virtual void OnSysCommand(UINT id, LPARAM lParam);

    // Hands a message to the sheet's own window procedure.
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class PropertyPage;
    // Called by a page that accepted its activation.
    void PageActivated(const PropertyPage* page);
    // Called by a page about to be shown, with the client size its template
    // gave it in its own font. The sheet sizes its page area in its own
    // font, which may differ (at large fonts they do): the sheet grows to
    // hold the page, and the page gets its whole size back.
    void FitPage(HWND page, SIZE needed);
    // Grows the sheet by `grow`, moving what lies below the pages (the line
    // and the buttons) and keeping the sheet on the work area.
    void Grow(LONG pagesBottom, SIZE grow);

    static int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Subclass(HWND window);

    std::string m_caption;
    std::vector<PropertyPage*> m_pages;
    std::vector<PROPSHEETPAGEA> m_pageEntries;
    HWND m_hWnd = nullptr;
    WNDPROC m_previousProc = nullptr;
    // The sheet keeps the index itself: comctl32 before 5.80 has no
    // PSM_HWNDTOINDEX to ask it for.
    int m_activeIndex = 0;
    // How much the sheet has grown beyond the page area it gave itself.
    SIZE m_grown = {0, 0};
};
