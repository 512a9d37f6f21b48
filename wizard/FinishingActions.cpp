// The finished page's button: FAQ page, then the viewer, then the viewer to
// the front. Failing shell requests are not reported.
// One class with WizPropertySheet.cpp: the sheet's own finishing member, kept in a file of its own.
#include <string>

#include <windows.h>

#include "product/ProductInfo.h"
#include "product/WebHosts.h"
#include "framework/DesktopShellExecute.h"
#include "install/OsFamilyQuery.h"
#include "install/RunInstall.h"
#include "offers/BrowserFollowUp.h"
#include "offers/ViewerWindow.h"
#include "res/ResourceIds.h"
#include "wizard/WizPropertyPage.h"
#include "wizard/WizPropertySheet.h"

namespace {

constexpr DWORD kLaunchPauseMs = 50;
// The viewer's start parameters are cut to this many characters.
constexpr size_t kViewerParameterLimit = 127;

void OpenFaqPage() {
    const std::string faq = std::string(kProductWebBase) + kFaqPath;
    (void)ShellExecuteAsSignedInUser(IsVistaOrLater(), ::GetDesktopWindow(), faq.c_str(), nullptr,
                                     "", SW_SHOWNORMAL);
}

}  // namespace

void CWizPropertySheet::RunFinishingActions() {
    // After an installed partner browser the FAQ page opens as one of its
    // pages; when the browser left no launch command, as on a plain finish.
    const bool browserInstalled = BrowserOffered && BrowserInstallerRun == 1;
    if (browserInstalled && OpenPagesInNewBrowser(BrowserFollowUpPages().c_str())) {
        ::Sleep(kLaunchPauseMs);
    } else {
        OpenFaqPage();
    }

    const CWizPropertyPage* finished = GetWizPage(GetActiveIndex());
    if (!finished || !finished->IsDlgButtonChecked(IDC_START_VIEWER)) return;
    // Where the files went, not the typed text: "C:\Apps \Tessolo" was
    // installed into C:\Apps\Tessolo\.
    const std::string viewer = InstalledFolder + kViewerExeName;
    std::string parameters;
    if (browserInstalled) parameters = ViewerPositionBelowBrowser().substr(0, kViewerParameterLimit);
    // The elevated setup's own start would hand the viewer its rights.
    (void)ShellExecuteAsSignedInUser(IsVistaOrLater(), ::GetActiveWindow(), viewer.c_str(),
                                     parameters.c_str(), nullptr, SW_SHOWNORMAL);
    ::Sleep(kLaunchPauseMs);
    BringViewerToFront();
}
