// The ready page's Next: the install runs here, on the user-interface thread,
// with the choices of all pages.
// One class with WizPropertyPage.cpp: CWizPropertyPage's members, split by topic.
#include <cstdio>
#include <cstring>
#include <string>

#include "install/InstallOptions.h"
#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "framework/StringTable.h"
#include "install/InstallFolder.h"
#include "install/PathText.h"
#include "install/RunInstall.h"
#include "res/ResourceIds.h"
#include "wizard/FileTypeList.h"
#include "wizard/WizPropertyPage.h"
#include "wizard/WizPropertySheet.h"

namespace {

// Doubled percent signs print as single ones: the settings file's writer
// expands %APPDATA% itself.
constexpr char kApplicationDataIniFormat[] = "%%APPDATA%%\\Tessolo";

}  // namespace

void CWizPropertyPage::GatherInstallOptions(InstallOptions& options) const {
    const CWizPropertyPage* welcome = m_pSheet->GetWizPage(kWelcomePosition);
    const std::string folder = welcome->GetDlgItemText(IDC_FOLDER_EDIT, kMaxPath);
    std::strncpy(options.installFolder, folder.c_str(), kMaxPath - 1);
    TrimPathSpaces(options.installFolder);
    // "C:Apps" passes the welcome page's drive check; it names a folder below
    // the current directory of C:, and the registration must name that folder.
    MakeInstallFolderAbsolute(options.installFolder);

    options.startMenuShortcut = welcome->IsDlgButtonChecked(IDC_GROUP_SHORTCUT);
    options.desktopShortcut = welcome->IsDlgButtonChecked(IDC_DESKTOP_SHORTCUT);
    options.thumbnailsShortcut = welcome->IsDlgButtonChecked(IDC_THUMBNAILS_SHORTCUT);
    options.allUsersShortcuts = welcome->IsDlgButtonChecked(IDC_ALL_USERS);

    options.assocAllUsers = m_pSheet->GetWizPage(kFileTypePosition)->IsDlgButtonChecked(IDC_ASSOC_ALL_USERS);

    if (m_pSheet->ToolbarOffered) {
        options.installToolbar = m_pSheet->GetWizPage(kOfferPosition)->IsDlgButtonChecked(IDC_ACCEPT_TOOLBAR);
    } else if (m_pSheet->BrowserOffered) {
        const CWizPropertyPage* offer = m_pSheet->GetWizPage(kOfferPosition);
        options.installBrowser = offer->IsDlgButtonChecked(IDC_ACCEPT_BROWSER);
        options.browserAsDefault = offer->IsDlgButtonChecked(IDC_BROWSER_DEFAULT);
    }

    const HWND list = m_pSheet->m_hFileTypeList;
    const int rows = FileTypeRowCount(list);
    for (int row = 0; row < rows && row < FileTypeCount; ++row) {
        if (IsFileTypeRowChosen(list, row)) {
            options.fileTypeSelection[row] = 1;
            options.associateFiles = 1;
        }
    }

    if (IsDlgButtonChecked(IDC_INI_APPDATA_FOLDER)) {
        std::snprintf(options.iniFolder, sizeof options.iniFolder, kApplicationDataIniFormat);
    }
    options.silent = 0;
}

LRESULT CWizPropertyPage::InstallFromReadyPage() {
    if (::FindWindowA(kViewerWindowClass, nullptr)) {
        ShowViewerRunningWarning();
        return -1;
    }
    InstallOptions options;
    GatherInstallOptions(options);

    // The working line must be on screen before the install blocks this thread.
    ShowDlgItem(IDC_WORKING_LINE, true);
    ::UpdateWindow(GetDlgItem(IDC_WORKING_LINE));

    std::string installed;
    if (!RunInstall(options, nullptr, &installed)) {
        // The driver has shown its message; the folder can be corrected, and
        // the ready page no longer claims to be installing when it comes back.
        ShowDlgItem(IDC_WORKING_LINE, false);
        return static_cast<LRESULT>(m_pSheet->GetPage(kWelcomePosition)->TemplateId());
    }
    m_pSheet->InstalledFolder = installed;
    return GetNextEnabledPage(TRUE);
}
