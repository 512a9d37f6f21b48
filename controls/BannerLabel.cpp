#include "controls/BannerLabel.h"

#include <cstring>
#include <vector>

#include "controls/ControlFont.h"
#include "framework/HighContrast.h"

namespace {
constexpr LONG kBoldWeight = FW_BOLD;      // 700
constexpr LONG kNormalWeight = FW_NORMAL;  // 400
constexpr size_t kMaxFaceChars = LF_FACESIZE - 1;
}  // namespace

BannerLabel::BannerLabel() : m_textColour(::GetSysColor(COLOR_BTNTEXT)) {}

BannerLabel::~BannerLabel() { m_font.Reset(); }

void BannerLabel::PreSubclassWindow() {
    LOGFONTA description;
    if (ReadControlFont(GetSafeHwnd(), description)) {
        m_font.Reset(::CreateFontIndirectA(&description));
    }
}

void BannerLabel::SetBannerLogFont(const LOGFONTA* description, bool redraw) {
    if (!description) return;
    m_font.Reset();
    LOGFONTA copy = *description;
    copy.lfWeight = m_bold ? kBoldWeight : kNormalWeight;
    m_font.Reset(::CreateFontIndirectA(&copy));
    if (redraw) Redraw();
}

void BannerLabel::SetBannerFace(const char* face, int height, bool redraw) {
    LOGFONTA description{};
    if (face) {
        std::strncpy(description.lfFaceName, face, kMaxFaceChars);
    } else {
        ReadControlFont(GetSafeHwnd(), description);
    }
    description.lfHeight = height;
    SetBannerLogFont(&description, redraw);
}

void BannerLabel::SetBannerTextColor(COLORREF colour, bool redraw) {
    m_textColour = colour;
    if (redraw) Redraw();
}

void BannerLabel::SetBannerBold(bool bold, bool redraw) {
    m_bold = bold ? TRUE : FALSE;
    // The control's own font is still the dialog's: the label never sets it.
    LOGFONTA description;
    ReadControlFont(GetSafeHwnd(), description);
    description.lfWeight = m_bold ? kBoldWeight : kNormalWeight;
    SetBannerLogFont(&description, redraw);
}

LRESULT BannerLabel::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            ::GetClientRect(GetSafeHwnd(), &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
            return TRUE;
        }
        default:
            return DefWindowProc(msg, wParam, lParam);
    }
}

void BannerLabel::OnPaint() {
    HWND control = GetSafeHwnd();
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(control, &paint);
    if (!dc) return;
    const int saved = ::SaveDC(dc);
    // The face colour is the scheme's at every paint, so a scheme changed
    // while the wizard is open is followed. A high-contrast scheme's text
    // colour too: the label's own is chosen for the standard face.
    ::SetTextColor(dc, IsHighContrastOn() ? ::GetSysColor(COLOR_BTNTEXT) : m_textColour);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetBkMode(dc, OPAQUE);
    ::SelectObject(dc, ::GetSysColorBrush(COLOR_BTNFACE));
    if (m_font) ::SelectObject(dc, m_font.Get());

    const int length = ::GetWindowTextLengthA(control);
    std::vector<char> text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()));

    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    UINT format = DT_LEFT;
    if (style & SS_CENTER) {
        format = DT_CENTER;
    } else if (style & SS_RIGHT) {
        format = DT_RIGHT;
    }
    format |= (style & SS_CENTERIMAGE) ? (DT_VCENTER | DT_SINGLELINE) : DT_WORDBREAK;

    RECT client;
    ::GetClientRect(control, &client);
    ::DrawTextA(dc, text.data(), copied > 0 ? copied : 0, &client, format);
    ::RestoreDC(dc, saved);
    ::EndPaint(control, &paint);
}

void BannerLabel::Redraw() {
    if (IsAttached()) {
        ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}
