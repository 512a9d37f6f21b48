// The dialog controls on real windows: attachment and reflection of the
// subclassed control, the hyperlink label's caption, fitting, fonts, colours
// and link opening, the banner label's fonts and painting. Window tests need
// a display and skip without one; link opening runs anywhere.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "product/Limits.h"
#include "controls/BannerLabel.h"
#include "controls/HyperlinkLabel.h"
#include "framework/Handles.h"
#include "framework/SubclassedControl.h"

namespace {

constexpr char kParentClass[] = "ControlsTestParent";
constexpr int kLinkId = 1045;
constexpr int kBannerId = 1026;
constexpr int kOtherId = 1099;
const std::string kTarget = "http://www.tessolo.example/eula.htm";

LRESULT CALLBACK ParentProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT: {
            LRESULT result = 0;
            if (SubclassedControl::ReflectToControl(window, msg, wParam, lParam, &result)) {
                return result;
            }
            break;
        }
        default:
            break;
    }
    return ::DefWindowProcA(window, msg, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

LOGFONTA Describe(HFONT font) {
    LOGFONTA description{};
    EXPECT_NE(0, ::GetObjectA(font, sizeof description, &description));
    return description;
}

HFONT ControlFont(HWND control) {
    return reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
}

std::string Text(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT RectInParent(HWND control) {
    RECT r;
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A top-level window that reflects notifications like the wizard's pages,
// with static children in the dialog font. The window is shared by the whole
// suite: without a window manager, Wine waits about two seconds for each
// top-level window it unmaps.
class ControlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ParentProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kParentClass;
        ::RegisterClassA(&windowClass);
        s_parent = ::CreateWindowExA(0, kParentClass, "controls", WS_POPUP | WS_VISIBLE, 0, 0, 500,
                                     300, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        s_createError = ::GetLastError();
    }

    static void TearDownTestSuite() {
        if (s_parent) ::DestroyWindow(s_parent);
        s_parent = nullptr;
    }

    void SetUp() override {
        if (!s_parent) GTEST_SKIP() << "no display (error " << s_createError << ")";
        m_parent = s_parent;
        m_dialogFont.Reset(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                                         0, "MS Sans Serif"));
    }

    void TearDown() override {
        if (!m_parent) return;
        while (HWND child = ::GetWindow(m_parent, GW_CHILD)) ::DestroyWindow(child);
    }

    HWND AddStatic(int id, const char* text, DWORD style, int x, int y, int cx, int cy) {
        HWND control = ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, cx,
                                         cy, m_parent, reinterpret_cast<HMENU>(id),
                                         ::GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(nullptr, control);
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_dialogFont.Get()), FALSE);
        return control;
    }

    SIZE TextExtent(HWND control, HFONT font) {
        const std::string text = Text(control);
        SIZE size{};
        HDC dc = ::GetDC(control);
        HGDIOBJ old = ::SelectObject(dc, font);
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        return size;
    }

    // Colour requests as the control makes them while painting.
    COLORREF ReflectedTextColour(HWND control, LRESULT* brush = nullptr) {
        HDC dc = ::CreateCompatibleDC(nullptr);
        LRESULT result = 0;
        EXPECT_TRUE(SubclassedControl::ReflectToControl(
            m_parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
            reinterpret_cast<LPARAM>(control), &result));
        const COLORREF colour = ::GetTextColor(dc);
        EXPECT_EQ(TRANSPARENT, ::GetBkMode(dc));
        ::DeleteDC(dc);
        if (brush) *brush = result;
        return colour;
    }

    static HWND s_parent;
    static DWORD s_createError;
    HWND m_parent = nullptr;
    UniqueFont m_dialogFont;
};

HWND ControlsTest::s_parent = nullptr;
DWORD ControlsTest::s_createError = 0;

// --- SubclassedControl ------------------------------------------------------

class ProbeControl : public SubclassedControl {
public:
    LONG_PTR procAtPreSubclass = 0;
    int appMessages = 0;
    int reflected = 0;
    bool handleReflected = true;

protected:
    void PreSubclassWindow() override {
        procAtPreSubclass = ::GetWindowLongPtrA(GetSafeHwnd(), GWLP_WNDPROC);
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_APP) {
            ++appMessages;
            return 42;
        }
        return DefWindowProc(msg, wParam, lParam);
    }
    bool OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT* result) override {
        ++reflected;
        *result = 7;
        return handleReflected;
    }
};

TEST_F(ControlsTest, SubclassingSeesMessagesAfterPreSubclassAndRestoresOnDestruction) {
    HWND control = AddStatic(kLinkId, "x", 0, 10, 10, 50, 20);
    const LONG_PTR ownProc = ::GetWindowLongPtrA(control, GWLP_WNDPROC);
    {
        ProbeControl probe;
        EXPECT_FALSE(probe.SubclassDlgItem(kOtherId, m_parent)) << "no such control";
        EXPECT_FALSE(probe.IsAttached());
        ASSERT_TRUE(probe.SubclassDlgItem(kLinkId, m_parent));
        EXPECT_EQ(control, probe.GetSafeHwnd());
        EXPECT_EQ(ownProc, probe.procAtPreSubclass) << "PreSubclassWindow runs before the swap";
        EXPECT_NE(ownProc, ::GetWindowLongPtrA(control, GWLP_WNDPROC));
        EXPECT_EQ(42, ::SendMessageA(control, WM_APP, 0, 0));
        EXPECT_EQ(1, probe.appMessages);
        EXPECT_EQ(Text(control), "x") << "other messages reach the control's own procedure";

        EXPECT_FALSE(probe.SubclassDlgItem(kLinkId, m_parent)) << "attached already";
        ProbeControl second;
        EXPECT_FALSE(second.SubclassDlgItem(kLinkId, m_parent)) << "control has an object";
    }
    EXPECT_EQ(ownProc, ::GetWindowLongPtrA(control, GWLP_WNDPROC));
    EXPECT_EQ(0, ::SendMessageA(control, WM_APP, 0, 0));
}

TEST_F(ControlsTest, WindowDestructionDetaches) {
    HWND control = AddStatic(kLinkId, "x", 0, 10, 10, 50, 20);
    ProbeControl probe;
    ASSERT_TRUE(probe.SubclassDlgItem(kLinkId, m_parent));
    ::DestroyWindow(control);
    EXPECT_FALSE(probe.IsAttached());
    EXPECT_EQ(nullptr, probe.GetSafeHwnd());
    // A new control with the same id can be taken over again.
    AddStatic(kLinkId, "y", 0, 10, 10, 50, 20);
    EXPECT_TRUE(probe.SubclassDlgItem(kLinkId, m_parent));
}

TEST_F(ControlsTest, ReflectionReachesOnlyAttachedControlsThatHandleIt) {
    HWND attached = AddStatic(kLinkId, "a", 0, 10, 10, 50, 20);
    HWND plain = AddStatic(kOtherId, "b", 0, 10, 40, 50, 20);
    ProbeControl probe;
    ASSERT_TRUE(probe.SubclassDlgItem(kLinkId, m_parent));

    NMHDR fromAttached{attached, static_cast<UINT_PTR>(kLinkId), 0};
    NMHDR fromPlain{plain, static_cast<UINT_PTR>(kOtherId), 0};
    const struct {
        const char* name;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        bool reflected;
    } cases[] = {
        {"click of attached", WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED),
         reinterpret_cast<LPARAM>(attached), true},
        {"click of plain", WM_COMMAND, MAKEWPARAM(kOtherId, STN_CLICKED),
         reinterpret_cast<LPARAM>(plain), false},
        {"menu command", WM_COMMAND, MAKEWPARAM(kLinkId, 0), 0, false},
        {"notify from attached", WM_NOTIFY, kLinkId, reinterpret_cast<LPARAM>(&fromAttached), true},
        {"notify from plain", WM_NOTIFY, kOtherId, reinterpret_cast<LPARAM>(&fromPlain), false},
        {"colour of attached", WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(attached), true},
        {"colour of plain", WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(plain), false},
        {"other message", WM_SIZE, 0, reinterpret_cast<LPARAM>(attached), false},
    };
    for (const auto& c : cases) {
        LRESULT result = -1;
        EXPECT_EQ(c.reflected,
                  SubclassedControl::ReflectToControl(m_parent, c.msg, c.wParam, c.lParam, &result))
            << c.name;
        EXPECT_EQ(c.reflected ? 7 : -1, result) << c.name;
    }
    // Another parent's message about our control is not ours to answer.
    EXPECT_FALSE(SubclassedControl::ReflectToControl(
        plain, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(attached), nullptr));
    probe.handleReflected = false;
    EXPECT_FALSE(SubclassedControl::ReflectToControl(
        m_parent, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(attached), nullptr));
}

// --- HyperlinkLabel -----------------------------------------------------------

TEST_F(ControlsTest, LinkAttachmentSetsNotifyCaptionAndTarget) {
    const struct {
        const char* name;
        const char* caption;
        const char* targetBefore;  // nullptr: none
        const char* targetAfter;
        std::string shownCaption;
        std::string target;
    } cases[] = {
        {"caption kept, target set after", "Tessolo EULA", nullptr, kTarget.c_str(),
         "Tessolo EULA", kTarget},
        {"empty caption shows target", "", kTarget.c_str(), nullptr, kTarget, kTarget},
        {"caption becomes target", "Nutzungsbedingungen", nullptr, nullptr, "Nutzungsbedingungen",
         "Nutzungsbedingungen"},
        {"both given", "Datenschutzbestimmungen", kTarget.c_str(), nullptr,
         "Datenschutzbestimmungen", kTarget},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND control = AddStatic(kLinkId, c.caption, SS_LEFT, 10, 10, 300, 20);
        {
            HyperlinkLabel link;
            if (c.targetBefore) link.SetLinkTarget(c.targetBefore);
            ASSERT_TRUE(link.SubclassDlgItem(kLinkId, m_parent));
            if (c.targetAfter) link.SetLinkTarget(c.targetAfter);
            EXPECT_TRUE(::GetWindowLongA(control, GWL_STYLE) & SS_NOTIFY);
            EXPECT_EQ(c.shownCaption, Text(control));
            EXPECT_EQ(c.target, link.LinkTarget());
            EXPECT_EQ(HyperlinkLabel::UnderlineOnHover, link.GetUnderlineMode());
        }
        ::DestroyWindow(control);
    }
}

TEST_F(ControlsTest, LinkFitsToItsUnderlinedTextKeepingItsAlignedEdge) {
    const struct {
        const char* name;
        DWORD style;
    } cases[] = {{"left", SS_LEFT}, {"right", SS_RIGHT}, {"centre", SS_CENTER}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND control = AddStatic(kLinkId, "Tessolo EULA", c.style, 40, 30, 300, 40);
        const RECT before = RectInParent(control);
        HyperlinkLabel link;
        ASSERT_TRUE(link.SubclassDlgItem(kLinkId, m_parent));
        const SIZE text = TextExtent(control, link.UnderlinedFont());
        const RECT after = RectInParent(control);
        EXPECT_EQ(text.cx, after.right - after.left);
        EXPECT_EQ(text.cy, after.bottom - after.top);
        EXPECT_EQ(before.top, after.top);
        if (c.style == SS_LEFT) {
            EXPECT_EQ(before.left, after.left);
        }
        if (c.style == SS_RIGHT) {
            EXPECT_EQ(before.right, after.right);
        }
        if (c.style == SS_CENTER) {
            EXPECT_NEAR((before.left + before.right) / 2.0, (after.left + after.right) / 2.0, 1.0);
        }
        link.DestroyWindow();
    }
}

TEST_F(ControlsTest, LinkVerticallyCentredKeepsItsMiddle) {
    HWND control = AddStatic(kLinkId, "Tessolo EULA", SS_CENTERIMAGE, 40, 30, 300, 60);
    HyperlinkLabel link;
    ASSERT_TRUE(link.SubclassDlgItem(kLinkId, m_parent));
    const RECT after = RectInParent(control);
    EXPECT_NEAR(60.0, (after.top + after.bottom) / 2.0, 1.0);
    EXPECT_EQ(40, after.left);
}

TEST_F(ControlsTest, UnderlineModeSwitchesTheControlFont) {
    HWND control = AddStatic(kLinkId, "Tessolo EULA", SS_LEFT, 10, 10, 300, 20);
    HyperlinkLabel link;
    ASSERT_TRUE(link.SubclassDlgItem(kLinkId, m_parent));
    const LOGFONTA dialogFont = Describe(m_dialogFont.Get());
    for (HFONT font : {link.PlainFont(), link.UnderlinedFont()}) {
        const LOGFONTA copy = Describe(font);
        EXPECT_STREQ(dialogFont.lfFaceName, copy.lfFaceName);
        EXPECT_EQ(dialogFont.lfHeight, copy.lfHeight);
    }
    EXPECT_FALSE(Describe(link.PlainFont()).lfUnderline);
    EXPECT_TRUE(Describe(link.UnderlinedFont()).lfUnderline);

    const struct {
        int mode;
        HFONT expected;
    } steps[] = {
        {HyperlinkLabel::UnderlineAlways, link.UnderlinedFont()},
        {HyperlinkLabel::UnderlineNever, link.PlainFont()},
        {HyperlinkLabel::UnderlineAlways, link.UnderlinedFont()},
        {HyperlinkLabel::UnderlineOnHover, link.PlainFont()},
    };
    for (const auto& s : steps) {
        link.SetUnderlineMode(s.mode);
        EXPECT_EQ(s.mode, link.GetUnderlineMode());
        EXPECT_EQ(s.expected, ControlFont(control)) << "mode " << s.mode;
    }
    // Setting the current mode again leaves a font set from elsewhere alone.
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_dialogFont.Get()), FALSE);
    link.SetUnderlineMode(HyperlinkLabel::UnderlineOnHover);
    EXPECT_EQ(m_dialogFont.Get(), ControlFont(control));
}

TEST_F(ControlsTest, HoverUnderlinesPerModeAndEndsWhenTheCursorLeaves) {
    const struct {
        int mode;
        bool underlinedWhileHovering;
        bool underlinedAfterLeaving;
    } cases[] = {
        {HyperlinkLabel::UnderlineOnHover, true, false},
        {HyperlinkLabel::UnderlineAlways, true, true},
        {HyperlinkLabel::UnderlineNever, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        HWND control = AddStatic(kLinkId, "Tessolo EULA", SS_LEFT, 100, 100, 300, 20);
        HyperlinkLabel link;
        ASSERT_TRUE(link.SubclassDlgItem(kLinkId, m_parent));
        link.SetUnderlineMode(c.mode);

        RECT r;
        ::GetWindowRect(control, &r);
        ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        EXPECT_TRUE(link.IsHovering());
        EXPECT_EQ(c.underlinedWhileHovering, ControlFont(control) == link.UnderlinedFont());

        POINT cursor;
        ::GetCursorPos(&cursor);
        if (::PtInRect(&r, cursor)) {
            // A tick with the cursor still inside changes nothing.
            ::PostMessageA(control, WM_TIMER, HyperlinkLabel::kHoverTimerId, 0);
            Pump();
            EXPECT_TRUE(link.IsHovering());
        }

        ::SetCursorPos(r.right + 50, r.bottom + 50);
        ::PostMessageA(control, WM_TIMER, HyperlinkLabel::kHoverTimerId, 0);
        Pump();
        EXPECT_FALSE(link.IsHovering());
        EXPECT_EQ(c.underlinedAfterLeaving, ControlFont(control) == link.UnderlinedFont());
        link.DestroyWindow();
    }
}

TEST_F(ControlsTest, LinkColoursFollowHoverAndVisitedState) {
    HWND control = AddStatic(kLinkId, "Tessolo EULA", SS_LEFT, 10, 10, 300, 20);
    HyperlinkLabel link;
    ASSERT_TRUE(link.SubclassDlgItem(kLinkId, m_parent));

    LRESULT brush = 0;
    EXPECT_EQ(RGB(0, 0, 238), ReflectedTextColour(control, &brush));
    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)), brush);
    link.SetVisitedState(true);
    EXPECT_EQ(RGB(85, 26, 139), ReflectedTextColour(control));
    ::SendMessageA(control, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(RGB(255, 0, 0), ReflectedTextColour(control));
    link.SetVisitedState(false);
    ::SetCursorPos(1000, 700);
    ::PostMessageA(control, WM_TIMER, HyperlinkLabel::kHoverTimerId, 0);
    Pump();
    EXPECT_EQ(RGB(0, 0, 238), ReflectedTextColour(control));
}

TEST_F(ControlsTest, PaintedLinkUsesTheReflectedColour) {
    HWND control = AddStatic(kLinkId, "Tessolo EULA", SS_LEFT, 10, 10, 300, 20);
    HyperlinkLabel link;
    ASSERT_TRUE(link.SubclassDlgItem(kLinkId, m_parent));
    ::RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client;
    ::GetClientRect(control, &client);
    HDC dc = ::GetDC(control);
    int bluish = 0;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            const COLORREF p = ::GetPixel(dc, x, y);
            if (GetBValue(p) > GetRValue(p) + 80 && GetBValue(p) > GetGValue(p) + 80) ++bluish;
        }
    }
    ::ReleaseDC(control, dc);
    EXPECT_GT(bluish, 10) << "link text painted in the link colour";
}

// --- BannerLabel ----------------------------------------------------------

TEST_F(ControlsTest, BannerFontsFollowTheSettersAndLeaveTheControlFontAlone) {
    HWND control = AddStatic(kBannerId, "Kostenlos!", SS_LEFT, 10, 10, 200, 30);
    BannerLabel banner;
    ASSERT_TRUE(banner.SubclassDlgItem(kBannerId, m_parent));
    const LOGFONTA dialogFont = Describe(m_dialogFont.Get());
    {
        const LOGFONTA copy = Describe(banner.BannerFont());
        EXPECT_STREQ(dialogFont.lfFaceName, copy.lfFaceName);
        EXPECT_EQ(dialogFont.lfHeight, copy.lfHeight);
        EXPECT_EQ(dialogFont.lfWeight, copy.lfWeight);
    }

    const std::string longFace(40, 'F');
    const struct {
        const char* name;
        bool bold;  // SetBannerBold first, with this flag
        const char* face;  // then SetBannerFace with this face (nullptr: skip)
        LONG height;
        std::string expectedFace;
        LONG expectedHeight;
        LONG expectedWeight;
    } cases[] = {
        {"offer banner", true, "MS Sans Serif", 18, "MS Sans Serif", 18, FW_BOLD},
        {"bold alone keeps dialog face", true, nullptr, 0, dialogFont.lfFaceName,
         dialogFont.lfHeight, FW_BOLD},
        {"not bold", false, "MS Sans Serif", 18, "MS Sans Serif", 18, FW_NORMAL},
        {"face cut to 31 characters", true, longFace.c_str(), 12, longFace.substr(0, 31), 12,
         FW_BOLD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        banner.SetBannerBold(c.bold, false);
        if (c.face) banner.SetBannerFace(c.face, c.height, true);
        const LOGFONTA made = Describe(banner.BannerFont());
        EXPECT_EQ(c.expectedFace, made.lfFaceName);
        EXPECT_EQ(c.expectedHeight, made.lfHeight);
        EXPECT_EQ(c.expectedWeight, made.lfWeight);
        if (c.face) {
            EXPECT_EQ(0, made.lfCharSet);
        }
        EXPECT_EQ(m_dialogFont.Get(), ControlFont(control));
    }

    // Bold after a face drops that face and height again.
    banner.SetBannerFace("MS Sans Serif", 18, false);
    banner.SetBannerBold(true, true);
    EXPECT_EQ(dialogFont.lfHeight, Describe(banner.BannerFont()).lfHeight);

    // Without a description nothing changes.
    HFONT before = banner.BannerFont();
    banner.SetBannerLogFont(nullptr, true);
    EXPECT_EQ(before, banner.BannerFont());
}

int CountPixels(HWND control, COLORREF colour) {
    RECT client;
    ::GetClientRect(control, &client);
    HDC dc = ::GetDC(control);
    int count = 0;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) count += ::GetPixel(dc, x, y) == colour;
    }
    ::ReleaseDC(control, dc);
    return count;
}

TEST_F(ControlsTest, BannerPaintsItsTextColourOnTheFaceColour) {
    HWND control = AddStatic(kBannerId, "Kostenlos!", SS_LEFT, 10, 10, 200, 30);
    BannerLabel banner;
    ASSERT_TRUE(banner.SubclassDlgItem(kBannerId, m_parent));
    banner.SetBannerBold(true, false);
    banner.SetBannerTextColor(RGB(0, 0, 255), false);
    banner.SetBannerFace("MS Sans Serif", 18, true);
    ::SetWindowTextA(control, "Gratis!");
    ::RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(RGB(0, 0, 255), banner.BannerTextColor());

    HDC screen = ::GetDC(nullptr);
    const COLORREF face = ::GetNearestColor(screen, ::GetSysColor(COLOR_BTNFACE));
    ::ReleaseDC(nullptr, screen);
    EXPECT_GT(CountPixels(control, RGB(0, 0, 255)), 20);
    EXPECT_GT(CountPixels(control, face), 200);

    banner.SetBannerTextColor(RGB(255, 0, 0), true);
    EXPECT_GT(CountPixels(control, RGB(255, 0, 0)), 20);
    EXPECT_EQ(0, CountPixels(control, RGB(0, 0, 255)));
}

// --- Opening links (no window needed) -----------------------------------------

// Points ".htm" at a class of our own for the length of one test.
class HtmlClassOverride {
public:
    explicit HtmlClassOverride(const char* command) {
        char old[kMaxPath] = {};
        m_hadOld = HyperlinkLabel::ReadDefaultRegValue(HKEY_CLASSES_ROOT, ".htm", old) == 0;
        m_old = old;
        ::RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, kClass, 0);
        if (command) {
            ::RegSetValueA(HKEY_CLASSES_ROOT, "TessoloTestHtml\\shell\\open\\command", REG_SZ,
                           command, 0);
        }
    }
    ~HtmlClassOverride() {
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "TessoloTestHtml\\shell\\open\\command");
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "TessoloTestHtml\\shell\\open");
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "TessoloTestHtml\\shell");
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "TessoloTestHtml");
        if (m_hadOld) ::RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, m_old.c_str(), 0);
    }

private:
    static constexpr char kClass[] = "TessoloTestHtml";
    bool m_hadOld = false;
    std::string m_old;
};

std::string TempFile(const char* name) {
    char folder[kMaxPath];
    ::GetTempPathA(kMaxPath, folder);
    return std::string(folder) + name;
}

std::string WaitForFile(const std::string& path) {
    for (int i = 0; i < 100; ++i) {
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        if (file) {
            char text[1024] = {};
            DWORD read = 0;
            ::ReadFile(file.Get(), text, sizeof text - 1, &read, nullptr);
            if (read > 0) return std::string(text, read);
        }
        ::Sleep(100);
    }
    return {};
}

TEST(OpenLink, FallsBackToTheRegisteredHtmlCommand) {
    const std::string record = TempFile("tessolo-open-link.txt");
    ::DeleteFileA(record.c_str());
    // The shell cannot open a missing file; the registered command echoes
    // its arguments into the record instead.
    const std::string missing = "C:\\no-such-folder\\no-such-page.xyz";
    const std::string command = "cmd.exe /c echo>\"" + record + "\" \"%1\" ignored";
    HtmlClassOverride html(command.c_str());

    const UINT result = HyperlinkLabel::OpenLink(missing, SW_HIDE);
    EXPECT_GT(result, 32u);
    const std::string recorded = WaitForFile(record);
    EXPECT_EQ(0u, recorded.find(" " + missing)) << recorded;
    EXPECT_EQ(std::string::npos, recorded.find("ignored")) << recorded;
    ::DeleteFileA(record.c_str());
}

TEST(OpenLink, WithoutABrowserCommandReportsTheShellFailure) {
    HtmlClassOverride html(nullptr);
    const UINT result = HyperlinkLabel::OpenLink("C:\\no-such-folder\\no-such-page.xyz", SW_HIDE);
    EXPECT_LE(result, 32u);
}

// Each click decides the visited state anew: a failed click after a
// successful one shows the link colour again. A click also ends hovering.
TEST_F(ControlsTest, ClickSetsOrClearsVisitedByTheLaunchResult) {
    HWND control = AddStatic(kLinkId, "Tessolo EULA", SS_LEFT, 10, 10, 300, 20);
    HyperlinkLabel link;
    link.SetLinkTarget("C:\\no-such-folder\\no-such-page.xyz");
    ASSERT_TRUE(link.SubclassDlgItem(kLinkId, m_parent));

    const struct {
        const char* browserCommand;  // nullptr: none registered, so the click fails
        bool visited;
        COLORREF colour;
    } clicks[] = {
        {"cmd.exe /c rem \"%1\"", true, RGB(85, 26, 139)},
        {nullptr, false, RGB(0, 0, 238)},
        {"cmd.exe /c rem %1", true, RGB(85, 26, 139)},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.browserCommand ? c.browserCommand : "no browser command");
        HtmlClassOverride html(c.browserCommand);
        ::SendMessageA(control, WM_MOUSEMOVE, 0, 0);
        ASSERT_TRUE(link.IsHovering());
        LRESULT result = 1;
        ASSERT_TRUE(SubclassedControl::ReflectToControl(
            m_parent, WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED),
            reinterpret_cast<LPARAM>(control), &result));
        EXPECT_EQ(0, result);
        EXPECT_FALSE(link.IsHovering());
        EXPECT_EQ(c.visited, link.IsVisited());
        EXPECT_EQ(c.colour, ReflectedTextColour(control));
    }
    link.DestroyWindow();
}

TEST(ReadDefaultRegValue, ReadsOrReportsTheOpenError) {
    ::RegSetValueA(HKEY_CURRENT_USER, "Software\\TessoloControlsTest", REG_SZ, "value text", 0);
    char value[kMaxPath] = "stale";
    EXPECT_EQ(0, HyperlinkLabel::ReadDefaultRegValue(HKEY_CURRENT_USER,
                                                     "Software\\TessoloControlsTest", value));
    EXPECT_STREQ("value text", value);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              HyperlinkLabel::ReadDefaultRegValue(HKEY_CURRENT_USER, "Software\\NoSuchKeyHere", value));
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TessoloControlsTest");
}

}  // namespace
