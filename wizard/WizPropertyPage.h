// The one page class of the wizard. Pages differ only by their template;
// what a page does is decided by its position in the sheet.
#pragma once

#include <windows.h>

#include "framework/Handles.h"
#include "framework/PropertyPage.h"
#include "wizard/PagePositions.h"

struct InstallOptions;
class CWizPropertySheet;

class CWizPropertyPage : public PropertyPage {
public:
    CWizPropertyPage() = default;

    int m_bFirstActivation = 1;
    int m_bEnabled = 1;
    CWizPropertySheet* m_pSheet = nullptr;

    // The template id of the first page from the active one, forwards or
    // backwards, that takes part in navigation; -1 past either end.
    virtual LRESULT GetNextEnabledPage(BOOL forward);

protected:
    bool DoDataExchange(DataExchange& exchange) override;
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    LRESULT OnWizardNext() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    int Position() const;
    PageRole Role() const;

    // Activation of each role.
    void ActivateWelcome();
    void ShowWhatsNew();
    void ActivateFileTypes();
    void ActivateOffer();
    void ActivateReady();
    void ActivateFinished();

    // Gives the page's title its emphasis font, made smaller where that
    // font would draw the title wider than its box.
    void SetTitleFont(int id, HFONT font);

    void SetUpOfferLabels();
    void SetUpWorkingLine();

    // The ready page's Next: the installation. -1 to stay on the page.
    LRESULT InstallFromReadyPage();
    void GatherInstallOptions(InstallOptions& options) const;

    // Button handlers.
    void OnBrowseInstallFolder();
    void OnShortcutBoxClicked();
    void OnNoShortcuts();
    void OnBrowserBoxClicked();
    void OnCheckAllTypes();
    void OnCheckNoTypes();
    void OnCheckImageTypes();

    void EnableShortcutAudience(bool enable);
    void EnableBackButton(bool enable);
    void EnableNextButton(bool enable);
    void ShowViewerRunningWarning();

    // The title's font where the sheet's shared one does not fit it.
    UniqueFont m_fittedTitleFont;
};

// Set while the offer page has not been shown yet: its boxes start checked
// on the first visit only.
extern int OfferFirstShow;
