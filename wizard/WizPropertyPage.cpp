#include "wizard/WizPropertyPage.h"

#include <vector>

#include "product/Limits.h"
#include "product/WebHosts.h"
#include "framework/DpiScale.h"
#include "framework/ReachableFace.h"
#include "framework/ScreenDpi.h"
#include "framework/StringTable.h"
#include "res/ResourceIds.h"
#include "wizard/FolderRules.h"
#include "wizard/WizPropertySheet.h"

int OfferFirstShow = 1;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr char kBannerFace[] = "MS Sans Serif";
// Pixels at 96 DPI; grown with the screen's density.
constexpr int kBannerHeight = 18;
constexpr char kBannerText[] = "Gratis!";

std::string WebAddress(const char* base, const char* path) { return std::string(base) + path; }

// Attaches a link once; its look and target are set on every exchange.
void SetUpLink(HyperlinkLabel& link, int id, HWND page, const std::string& target) {
    if (!link.IsAttached()) link.SubclassDlgItem(id, page);
    link.SetUnderlineMode(HyperlinkLabel::UnderlineAlways);
    link.SetLinkTarget(target);
}

}  // namespace

int CWizPropertyPage::Position() const { return m_pSheet->GetPageIndex(this); }

PageRole CWizPropertyPage::Role() const {
    return RoleAtPosition(Position(), m_pSheet->ToolbarOffered, m_pSheet->BrowserOffered);
}

bool CWizPropertyPage::DoDataExchange(DataExchange&) {
    switch (Role()) {
        case PageRole::Welcome:
            SetUpLink(m_pSheet->m_linkEula, IDC_EULA_LINK, GetSafeHwnd(),
                      WebAddress(kProductWebBase, kEulaPath));
            break;
        case PageRole::WhatsNew:
            if (!m_pSheet->m_releaseNotes.IsAttached()) {
                m_pSheet->m_releaseNotes.SubclassDlgItem(IDC_FOLDER_EDIT, GetSafeHwnd());
            }
            break;
        case PageRole::Offer:
            SetUpOfferLabels();
            break;
        case PageRole::Ready:
            SetUpWorkingLine();
            break;
        default:
            break;
    }
    return true;
}

void CWizPropertyPage::SetUpOfferLabels() {
    const bool toolbar = m_pSheet->ToolbarOffered != 0;
    SetUpLink(m_pSheet->m_linkTerms, IDC_OFFER_TERMS, GetSafeHwnd(),
              toolbar ? WebAddress(kToolbarPartnerBase, kToolbarTermsPath)
                      : WebAddress(kBrowserPartnerBase, kBrowserTermsPath));
    SetUpLink(m_pSheet->m_linkPrivacy, IDC_OFFER_PRIVACY, GetSafeHwnd(),
              toolbar ? WebAddress(kToolbarPartnerBase, kToolbarPrivacyPath)
                      : WebAddress(kBrowserPartnerBase, kBrowserPrivacyPath));

    BannerLabel& banner = m_pSheet->m_bannerFree;
    if (!banner.IsAttached()) banner.SubclassDlgItem(IDC_OFFER_BANNER, GetSafeHwnd());
    banner.SetBannerBold(true, false);
    banner.SetBannerTextColor(toolbar ? kRed : kBlue, false);
    const int dpi = ScreenDpi();
    LOGFONTA face = {};
    lstrcpynA(face.lfFaceName, kBannerFace, LF_FACESIZE);
    face.lfHeight = ScaleForDpi(kBannerHeight, dpi);
    face.lfWeight = FW_BOLD;
    if (dpi != kStandardDpi) UseFaceThatReaches(face);
    banner.SetBannerFace(face.lfFaceName, face.lfHeight, true);
    SetDlgItemText(IDC_OFFER_BANNER, kBannerText);
}

void CWizPropertyPage::SetUpWorkingLine() {
    BannerLabel& line = m_pSheet->m_bannerWorking;
    if (!line.IsAttached()) line.SubclassDlgItem(IDC_WORKING_LINE, GetSafeHwnd());
    line.SetBannerTextColor(kRed, false);
    line.SetBannerBold(true, true);
}

BOOL CWizPropertyPage::OnSetActive() {
    switch (Role()) {
        case PageRole::Welcome: ActivateWelcome(); break;
        case PageRole::WhatsNew: ShowWhatsNew(); break;
        case PageRole::FileTypes: ActivateFileTypes(); break;
        case PageRole::Offer: ActivateOffer(); break;
        case PageRole::Ready: ActivateReady(); break;
        case PageRole::Finished: ActivateFinished(); break;
        case PageRole::Unknown: break;
    }
    return PropertyPage::OnSetActive();
}

LRESULT CWizPropertyPage::GetNextEnabledPage(BOOL forward) {
    const int count = m_pSheet->GetPageCount();
    std::vector<int> enabled;
    for (int i = 0; i < count; ++i) enabled.push_back(m_pSheet->GetWizPage(i)->m_bEnabled);
    const int next = NextEnabledIndex(enabled.data(), count, Position(), forward != FALSE);
    if (next < 0) return -1;
    return static_cast<LRESULT>(m_pSheet->GetPage(next)->TemplateId());
}

LRESULT CWizPropertyPage::OnWizardBack() { return GetNextEnabledPage(FALSE); }

LRESULT CWizPropertyPage::OnWizardNext() {
    const PageRole role = Role();
    if (role == PageRole::Welcome) {
        // The drive test looks at the text as typed: leading spaces fail it.
        const std::string folder = GetDlgItemText(IDC_FOLDER_EDIT, kMaxPath);
        if (!HasDrivePart(folder.c_str())) {
            ::MessageBoxA(SheetWindow(), LoadStringText(IDS_INVALID_FOLDER).c_str(),
                          LoadStringText(IDS_MESSAGE_CAPTION).c_str(), MB_OK | MB_ICONSTOP);
            return -1;
        }
    }
    EnableBackButton(true);
    if (role == PageRole::Ready) return InstallFromReadyPage();
    return GetNextEnabledPage(TRUE);
}

BOOL CWizPropertyPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != BN_CLICKED) return PropertyPage::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
        case IDC_BROWSE:
        case IDC_INI_BROWSE:
            OnBrowseInstallFolder();
            return TRUE;
        case IDC_DESKTOP_SHORTCUT:
        case IDC_THUMBNAILS_SHORTCUT:
        case IDC_GROUP_SHORTCUT:
            OnShortcutBoxClicked();
            return TRUE;
        case IDC_NO_SHORTCUTS:
            OnNoShortcuts();
            return TRUE;
        case IDC_ACCEPT_BROWSER:
            OnBrowserBoxClicked();
            return TRUE;
        case IDC_CHECK_ALL_TYPES:
            OnCheckAllTypes();
            return TRUE;
        case IDC_CHECK_NO_TYPES:
            OnCheckNoTypes();
            return TRUE;
        case IDC_CHECK_IMAGE_TYPES:
            OnCheckImageTypes();
            return TRUE;
        default:
            return PropertyPage::OnCommand(wParam, lParam);
    }
}

void CWizPropertyPage::EnableBackButton(bool enable) {
    ::EnableWindow(::GetDlgItem(SheetWindow(), kWizardBackButton), enable);
}

void CWizPropertyPage::EnableNextButton(bool enable) {
    ::EnableWindow(::GetDlgItem(SheetWindow(), kWizardNextButton), enable);
}
