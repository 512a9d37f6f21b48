#include "wizard/WizPropertySheet.h"

#include "framework/StringTable.h"
#include "framework/WinApp.h"
#include "res/ResourceIds.h"
#include "wizard/PagePositions.h"
#include "wizard/WizPropertyPage.h"

namespace {
constexpr int kCancelButton = IDCANCEL;
// The low four bits of a system command are the system's own.
constexpr UINT kSystemCommandMask = 0xFFF0;
}  // namespace

CWizPropertySheet::CWizPropertySheet(const char* caption, HWND parent, UINT firstPage)
    : PropertySheetDialog(caption, parent, firstPage) {
    m_psh.dwFlags |= PSH_WIZARD;
}

CWizPropertySheet::~CWizPropertySheet() = default;

void CWizPropertySheet::AddPage(CWizPropertyPage* page) {
    PropertySheetDialog::AddPage(page);
    page->m_pSheet = this;
}

CWizPropertyPage* CWizPropertySheet::GetWizPage(int index) const {
    return static_cast<CWizPropertyPage*>(GetPage(index));
}

bool CWizPropertySheet::IsFinishedPageActive() const {
    return RoleAtPosition(GetActiveIndex(), ToolbarOffered, BrowserOffered) == PageRole::Finished;
}

BOOL CWizPropertySheet::OnInitDialog() {
    const BOOL result = PropertySheetDialog::OnInitDialog();
    if (WinApp* app = WinApp::Current()) app->SetMainWindow(GetSafeHwnd());
    ::SetDlgItemTextA(GetSafeHwnd(), kCancelButton, LoadStringText(IDS_CANCEL_CAPTION).c_str());
    return result;
}

bool CWizPropertySheet::ConfirmQuit() {
    const std::string question = LoadStringText(IDS_CONFIRM_QUIT);
    const std::string caption = LoadStringText(IDS_MESSAGE_CAPTION);
    // Only Yes leaves. Wine closes a Yes/No box on Esc with IDCANCEL, where
    // Windows ignores the key; a person pressing Esc there means to stay.
    return ::MessageBoxA(GetSafeHwnd(), question.c_str(), caption.c_str(),
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

BOOL CWizPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == kCancelButton) {
        if (IsFinishedPageActive()) {
            RunFinishingActions();
        } else if (!ConfirmQuit()) {
            return TRUE;
        }
    }
    return PropertySheetDialog::OnCommand(wParam, lParam);
}

void CWizPropertySheet::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & kSystemCommandMask) == SC_CLOSE && !IsFinishedPageActive() && !ConfirmQuit()) return;
    PropertySheetDialog::OnSysCommand(id, lParam);
}
