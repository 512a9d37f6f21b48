// The wizard's frame: the pages, the fonts and labels they share, the offer
// flags, and the Cancel button that becomes the finish button on the last page.
#pragma once

#include <string>

#include <windows.h>

#include "controls/BannerLabel.h"
#include "controls/HyperlinkLabel.h"
#include "controls/ReadingPane.h"
#include "framework/Handles.h"
#include "framework/PropertySheet.h"

class CWizPropertyPage;

class CWizPropertySheet : public PropertySheetDialog {
public:
    CWizPropertySheet(const char* caption, HWND parent, UINT firstPage);
    ~CWizPropertySheet() override;

    // Adds the page and tells it its sheet.
    void AddPage(CWizPropertyPage* page);
    CWizPropertyPage* GetWizPage(int index) const;

    UniqueFont TitleFont;
    UniqueFont OfferTextFont;
    UniqueFont OfferTitleFont;
    HWND m_hFileTypeList = nullptr;
    int ToolbarOffered = 0;
    int BrowserOffered = 0;
    // The folder the install wrote the files to, ending in a backslash: the
    // typed text may differ from it ("C:\Apps \Tessolo", "C:Apps").
    std::string InstalledFolder;
    HyperlinkLabel m_linkEula;
    HyperlinkLabel m_linkTerms;
    HyperlinkLabel m_linkPrivacy;
    BannerLabel m_bannerFree;
    BannerLabel m_bannerWorking;
    ReadingPane m_releaseNotes;

    // The finished page is the one on show.
    bool IsFinishedPageActive() const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSysCommand(UINT id, LPARAM lParam) override;

private:
    // "Installation beenden?"; true when the user answers Yes.
    bool ConfirmQuit();
    // FAQ page, viewer start, viewer to the front.
    void RunFinishingActions();
};
