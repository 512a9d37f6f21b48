// The sheet knows which page is on show without PSM_HWNDTOINDEX, which
// comctl32 before 5.80 lacks. Wine's comctl32 has it, so the sheet here is
// made to answer it as an old comctl32 does: unhandled, 0. Needs a display;
// skips without one.
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "framework/PropertyPage.h"
#include "framework/PropertySheet.h"
#include "res/ResourceIds.h"

namespace {

constexpr UINT kStepMs = 50;

WNDPROC s_comctlProc = nullptr;

// The messages comctl32 5.80 brought, left unanswered.
LRESULT CALLBACK WithoutNewIndexMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case PSM_HWNDTOINDEX:
        case PSM_INDEXTOHWND:
        case PSM_PAGETOINDEX:
        case PSM_INDEXTOPAGE:
        case PSM_IDTOINDEX:
        case PSM_INDEXTOID:
            return 0;
        default:
            return ::CallWindowProcA(s_comctlProc, window, message, wParam, lParam);
    }
}

// A wizard that walks itself: each timer step notes the active index and
// presses the next button of the script.
class ScriptedWizard : public PropertySheetDialog {
public:
    explicit ScriptedWizard(std::vector<int> buttons)
        : PropertySheetDialog("sheet", nullptr, 0), m_buttons(std::move(buttons)) {
        m_psh.dwFlags |= PSH_WIZARD;
        s_running = this;
    }
    ~ScriptedWizard() override { s_running = nullptr; }

    std::vector<int> seen;

protected:
    BOOL OnInitDialog() override {
        s_comctlProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
            GetSafeHwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WithoutNewIndexMessages)));
        ::SetTimer(nullptr, 0, kStepMs, Step);
        return TRUE;
    }

private:
    // A thread timer keeps firing in the sheet's modal loop; the press is
    // posted, so the step returns before the page changes.
    static void CALLBACK Step(HWND, UINT, UINT_PTR timer, DWORD) {
        ScriptedWizard* self = s_running;
        if (!self || !self->GetSafeHwnd() || self->m_next >= self->m_buttons.size()) {
            ::KillTimer(nullptr, timer);
            return;
        }
        self->seen.push_back(self->GetActiveIndex());
        ::PostMessageA(self->GetSafeHwnd(), PSM_PRESSBUTTON, self->m_buttons[self->m_next++], 0);
    }

    static ScriptedWizard* s_running;
    std::vector<int> m_buttons;
    size_t m_next = 0;
};

ScriptedWizard* ScriptedWizard::s_running = nullptr;

bool HasDisplay() {
    HWND probe = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    ::DestroyWindow(probe);
    return true;
}

TEST(PropertySheetDialog, ActiveIndexFollowsThePagesWithoutIndexMessages) {
    if (!HasDisplay()) GTEST_SKIP() << "no display";
    PropertyPage pages[3];
    const UINT templates[3] = {IDD_WHATS_NEW, IDD_READY, IDD_FINISHED};
    ScriptedWizard wizard({PSBTN_NEXT, PSBTN_NEXT, PSBTN_BACK, PSBTN_CANCEL});
    for (int i = 0; i < 3; ++i) {
        pages[i].Construct(templates[i]);
        wizard.AddPage(&pages[i]);
    }
    wizard.DoModal();
    EXPECT_EQ((std::vector<int>{0, 1, 2, 1}), wizard.seen);
}

}  // namespace
