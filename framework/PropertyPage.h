// One page of a property sheet: a dialog whose template the sheet creates,
// with the sheet's notifications turned into virtual operations.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Dialog.h"

class PropertySheetDialog;

class PropertyPage : public Dialog {
public:
    PropertyPage() = default;

    // Gives the page its template; the page's caption is the template's.
    void Construct(UINT templateId);

    // The page's entry in the sheet's header.
    PROPSHEETPAGEA Describe();

protected:
    // PSN_SETACTIVE: FALSE refuses the activation.
    virtual BOOL OnSetActive();
    // PSN_KILLACTIVE: by default saves the controls' data; FALSE keeps the page.
    virtual BOOL OnKillActive();
    // PSN_WIZNEXT / PSN_WIZBACK: the template id of the page to go to, 0 for
    // the neighbouring page, -1 to stay.
    virtual LRESULT OnWizardNext();
    virtual LRESULT OnWizardBack();
    // PSN_QUERYCANCEL: TRUE keeps the sheet open.
    virtual BOOL OnQueryCancel();

    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

    // The sheet that holds the page (the page's parent window).
    HWND SheetWindow() const;

private:
    friend class PropertySheetDialog;

    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The sheet the page was added to; it learns of each activation.
    PropertySheetDialog* m_sheetDialog = nullptr;
    // The client size the template gave the page, before the sheet sized it.
    SIZE m_templateSize = {0, 0};
};
