// What each page does when it becomes active, and the welcome page's
// shortcut buttons.
// One class with WizPropertyPage.cpp: CWizPropertyPage's members, split by topic.
#include <cstring>
#include <string>
#include <utility>

#include "install/InstallFolder.h"
#include "product/Limits.h"
#include "product/ProductInfo.h"
#include "framework/FittedFont.h"
#include "framework/StringTable.h"
#include "framework/WinApp.h"
#include "install/OsFamilyQuery.h"
#include "install/PathText.h"
#include "install/RunInstall.h"
#include "res/ResourceIds.h"
#include "wizard/FolderRules.h"
#include "wizard/PagePositions.h"
#include "wizard/WizPropertyPage.h"
#include "wizard/WizPropertySheet.h"

namespace {

constexpr char kBackCaption[] = "< &Zurück";
constexpr char kNextCaption[] = "&Weiter >";
constexpr int kFolderLabelLimit = 50;
// The system family whose default folder proposes the application-data folder
// for the settings file.
constexpr DWORD kApplicationDataMajorVersion = 6;
constexpr char kReleaseNotesType[] = "TXT";
// The variable the application-data choice names (98 SE has none).
constexpr char kApplicationDataVariable[] = "APPDATA";

bool ViewerIsRunning() { return ::FindWindowA(kViewerWindowClass, nullptr) != nullptr; }

bool IsNtMajorVersion6() {
    const OsVersion version = QueryOsVersion();
    return version.platformId == VER_PLATFORM_WIN32_NT &&
           version.majorVersion == kApplicationDataMajorVersion;
}

}  // namespace

void CWizPropertyPage::ShowViewerRunningWarning() {
    ::MessageBoxA(SheetWindow(), LoadStringText(IDS_VIEWER_RUNNING).c_str(),
                  LoadStringText(IDS_MESSAGE_CAPTION).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CWizPropertyPage::SetTitleFont(int id, HFONT font) {
    const auto body = reinterpret_cast<HFONT>(::SendMessageA(GetSafeHwnd(), WM_GETFONT, 0, 0));
    UniqueFont fitted = FontThatFits(GetDlgItem(id), font, body);
    SetDlgItemFont(id, fitted ? fitted.Get() : font);
    // Only now is the font the control had before free to go.
    m_fittedTitleFont = std::move(fitted);
}

void CWizPropertyPage::ActivateWelcome() {
    // Back may be the default button since it was pressed; Enter goes on.
    EnableBackButton(false);
    m_pSheet->SetDefaultButton(kWizardNextButton);
    // The icon is shared by the system (LoadIcon): nobody owns it.
    const HICON icon = ::LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDI_SETUP));
    ::SendMessageA(SheetWindow(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    if (m_bFirstActivation) {
        ::SetDlgItemTextA(SheetWindow(), kWizardBackButton, kBackCaption);
        ::SetDlgItemTextA(SheetWindow(), kWizardNextButton, kNextCaption);
        SetTitleFont(IDC_WELCOME_TITLE, m_pSheet->TitleFont.Get());
        CheckDlgButton(IDC_DESKTOP_SHORTCUT, true);
        CheckDlgButton(IDC_THUMBNAILS_SHORTCUT, true);
        CheckDlgButton(IDC_GROUP_SHORTCUT, true);
        CheckDlgButton(IDC_CURRENT_USER, true);
        if (GetDlgItemText(IDC_FOLDER_EDIT, kMaxPath).empty()) {
            char folder[kMaxPath] = {};
            GetDefaultInstallFolder(folder);
            char previous[kMaxPath] = {};
            if (FindPreviousInstallFolder(previous)) std::memcpy(folder, previous, sizeof folder);
            SetDlgItemText(IDC_FOLDER_EDIT, folder);
        }
    }
    if (ViewerIsRunning()) ShowViewerRunningWarning();
    m_bFirstActivation = 0;
}

void CWizPropertyPage::ShowWhatsNew() {
    const HINSTANCE module = AppInstance();
    const HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_RELEASE_NOTES), kReleaseNotesType);
    if (!found) return;
    const HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded) return;
    const auto* text = static_cast<const char*>(::LockResource(loaded));
    if (!text) return;
    // The resource's own size bounds the text, whether or not it ends in a zero.
    const DWORD size = ::SizeofResource(module, found);
    const std::string notes(text, strnlen(text, size));
    SetDlgItemText(IDC_FOLDER_EDIT, notes.c_str());
}

void CWizPropertyPage::ActivateOffer() {
    const bool toolbar = m_pSheet->ToolbarOffered != 0;
    const int acceptBox = toolbar ? IDC_ACCEPT_TOOLBAR : IDC_ACCEPT_BROWSER;
    SetTitleFont(IDC_OFFER_TITLE, m_pSheet->OfferTitleFont.Get());
    if (toolbar) SetDlgItemFont(IDC_OFFER_LEAD_IN, m_pSheet->OfferTextFont.Get());
    SetDlgItemFont(acceptBox, m_pSheet->OfferTextFont.Get());
    if (!toolbar) SetDlgItemFont(IDC_BROWSER_DEFAULT, m_pSheet->OfferTextFont.Get());
    if (OfferFirstShow) {
        CheckDlgButton(acceptBox, true);
        if (!toolbar) CheckDlgButton(IDC_BROWSER_DEFAULT, true);
        OfferFirstShow = 0;
    }
    ::SetFocus(GetDlgItem(acceptBox));
}

void CWizPropertyPage::ActivateReady() {
    SetTitleFont(IDC_READY_TITLE, m_pSheet->TitleFont.Get());

    char folder[kMaxPath] = {};
    const std::string typed = m_pSheet->GetWizPage(kWelcomePosition)->GetDlgItemText(IDC_FOLDER_EDIT, kMaxPath);
    std::strncpy(folder, typed.c_str(), kMaxPath - 1);
    TrimPathSpaces(folder);
    const std::string line = LoadStringText(IDS_FOLDER_LABEL, kFolderLabelLimit) + ": " + folder;
    SetDlgItemText(IDC_READY_FOLDER_LINE, line.c_str());

    CheckDlgButton(IDC_INI_PROGRAM_FOLDER, true);
    CheckDlgButton(IDC_INI_APPDATA_FOLDER, false);
    const bool applicationDataSet =
        ::GetEnvironmentVariableA(kApplicationDataVariable, nullptr, 0) != 0;
    EnableDlgItem(IDC_INI_APPDATA_FOLDER, applicationDataSet);
    if (applicationDataSet && IsNtMajorVersion6()) {
        char defaultFolder[kMaxPath] = {};
        GetDefaultInstallFolder(defaultFolder);
        if (IsSameFolder(defaultFolder, folder)) {
            CheckDlgButton(IDC_INI_PROGRAM_FOLDER, false);
            CheckDlgButton(IDC_INI_APPDATA_FOLDER, true);
        }
    }
}

void CWizPropertyPage::ActivateFinished() {
    const bool toolbarInstalled = m_pSheet->ToolbarOffered &&
                                  m_pSheet->GetWizPage(kOfferPosition)->IsDlgButtonChecked(IDC_ACCEPT_TOOLBAR) &&
                                  ToolbarOfferFailed == 0;
    ShowDlgItem(IDC_TOOLBAR_NOTE, toolbarInstalled);
    ShowDlgItem(IDC_TOOLBAR_PICTURE, toolbarInstalled);
    SetTitleFont(IDC_FINISHED_TITLE, m_pSheet->TitleFont.Get());
    CheckDlgButton(IDC_SHOW_FAQ, true);
    CheckDlgButton(IDC_START_VIEWER, true);
    ::SetDlgItemTextA(SheetWindow(), IDCANCEL, LoadStringText(IDS_FINISH_CAPTION).c_str());
    EnableBackButton(false);
    EnableNextButton(false);
    // The button that finishes is the only one left: Enter presses it.
    m_pSheet->SetDefaultButton(IDCANCEL);
}

void CWizPropertyPage::EnableShortcutAudience(bool enable) {
    EnableDlgItem(IDC_CURRENT_USER, enable);
    EnableDlgItem(IDC_ALL_USERS, enable);
}

void CWizPropertyPage::OnShortcutBoxClicked() {
    EnableShortcutAudience(IsDlgButtonChecked(IDC_DESKTOP_SHORTCUT) ||
                           IsDlgButtonChecked(IDC_THUMBNAILS_SHORTCUT) ||
                           IsDlgButtonChecked(IDC_GROUP_SHORTCUT));
}

void CWizPropertyPage::OnNoShortcuts() {
    CheckDlgButton(IDC_DESKTOP_SHORTCUT, false);
    CheckDlgButton(IDC_THUMBNAILS_SHORTCUT, false);
    CheckDlgButton(IDC_GROUP_SHORTCUT, false);
    EnableShortcutAudience(false);
}

void CWizPropertyPage::OnBrowserBoxClicked() {
    EnableDlgItem(IDC_BROWSER_DEFAULT, IsDlgButtonChecked(IDC_ACCEPT_BROWSER));
}
