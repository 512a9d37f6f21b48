#include "controls/HyperlinkLabel.h"

#include <shellapi.h>

#include <vector>

#include "product/Limits.h"
#include "controls/BrowserCommand.h"
#include "controls/ControlFont.h"
#include "controls/FitGeometry.h"
#include "framework/HighContrast.h"

namespace {
constexpr char kHelpViewerFile[] = "\\winhlp32.exe";
constexpr WORD kHelpViewerHandCursor = 106;
constexpr char kHtmlExtensionKey[] = ".htm";
constexpr char kOpenCommandSuffix[] = "\\shell\\open\\command";
// After leaving, the area just below the text is repainted too: the
// underline of some fonts reaches below the control's client area.
constexpr int kUnderlineRepaintMargin = 10;
// In a high-contrast scheme a link takes the scheme's link colour, or the
// first of the others that reads on the dialog's face.
constexpr int kHighContrastLinkColours[] = {COLOR_HOTLIGHT, COLOR_HIGHLIGHT, COLOR_BTNTEXT};

std::string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(window, text.data(), length + 1);
    return std::string(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

LabelRect ToLabelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
}  // namespace

HyperlinkLabel::~HyperlinkLabel() {
    if (IsAttached()) ::KillTimer(GetSafeHwnd(), m_hoverTimerId);
    // The underlined font goes first.
    m_underlinedFont.Reset();
    m_plainFont.Reset();
}

void HyperlinkLabel::SetLinkTarget(const std::string& target) {
    m_linkTarget = target;
    if (IsAttached()) FitToText();
}

void HyperlinkLabel::SetVisitedState(bool visited) {
    m_visited = visited ? TRUE : FALSE;
    if (IsAttached()) ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

void HyperlinkLabel::SetUnderlineMode(int mode) {
    if (mode == m_underlineMode) return;
    if (IsAttached()) {
        SwitchFont(mode == UnderlineAlways ? m_underlinedFont.Get() : m_plainFont.Get());
        ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
    }
    m_underlineMode = mode;
}

void HyperlinkLabel::FitToText() {
    HWND control = GetSafeHwnd();
    if (!control || !m_fitToText) return;
    HWND parent = ::GetParent(control);

    RECT window;
    RECT client;
    ::GetWindowRect(control, &window);
    ::GetClientRect(control, &client);
    ::MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&client), 2);

    // Measured with the underlined font: the widest the text ever gets.
    const std::string text = WindowText(control);
    SIZE extent{};
    HDC dc = ::GetDC(control);
    if (!dc) return;
    HGDIOBJ oldFont = ::SelectObject(dc, m_underlinedFont.Get());
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(control, dc);

    const auto style = static_cast<unsigned>(::GetWindowLongA(control, GWL_STYLE));
    const LabelRect fitted =
        FitLabelToText(ToLabelRect(window), ToLabelRect(client), extent.cx, extent.cy, style);
    ::SetWindowPos(control, nullptr, fitted.left, fitted.top, fitted.Width(), fitted.Height(),
                   SWP_NOZORDER);
}

void HyperlinkLabel::LoadLinkCursor() {
    if (m_linkCursor) return;
    char path[kMaxPath] = {};
    const UINT length = ::GetWindowsDirectoryA(path, kMaxPath);
    if (length == 0 || length + sizeof kHelpViewerFile > static_cast<size_t>(kMaxPath)) return;
    lstrcatA(path, kHelpViewerFile);
    UniqueModule viewer(::LoadLibraryA(path));
    if (!viewer) return;
    HCURSOR hand = ::LoadCursorA(viewer.Get(), MAKEINTRESOURCEA(kHelpViewerHandCursor));
    // The copy outlives the module the cursor came from.
    if (hand) m_linkCursor.Reset(reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(hand))));
}

bool HyperlinkLabel::DestroyWindow() {
    HWND control = GetSafeHwnd();
    if (!control) return false;
    ::KillTimer(control, m_hoverTimerId);
    return ::DestroyWindow(control) != FALSE;
}

UINT HyperlinkLabel::OpenLink(const std::string& target, int showCommand) {
    const auto shellResult = static_cast<UINT>(reinterpret_cast<UINT_PTR>(::ShellExecuteA(
        ::GetDesktopWindow(), "open", target.c_str(), nullptr, nullptr, showCommand)));
    if (shellResult > 32) return shellResult;

    char htmlClass[kMaxPath] = {};
    if (ReadDefaultRegValue(HKEY_CLASSES_ROOT, kHtmlExtensionKey, htmlClass) != ERROR_SUCCESS) {
        return shellResult;
    }
    const std::string commandKey = std::string(htmlClass) + kOpenCommandSuffix;
    char registered[kMaxPath] = {};
    if (ReadDefaultRegValue(HKEY_CLASSES_ROOT, commandKey.c_str(), registered) != ERROR_SUCCESS) {
        return shellResult;
    }
    std::string commandLine;
    if (!BuildBrowserCommand(registered, target, commandLine)) return shellResult;
    return ::WinExec(commandLine.c_str(), static_cast<UINT>(showCommand));
}

LONG HyperlinkLabel::ReadDefaultRegValue(HKEY root, const char* subKey, char* value) {
    UniqueKey key;
    const LONG opened = ::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, key.Put());
    if (opened != ERROR_SUCCESS) return opened;
    LONG size = kMaxPath;
    const LONG read = ::RegQueryValueA(key.Get(), nullptr, value, &size);
    // A value stored without its terminating zero must not run on.
    value[kMaxPath - 1] = '\0';
    if (read == ERROR_SUCCESS && size >= 0 && size < kMaxPath) value[size] = '\0';
    return read;
}

void HyperlinkLabel::PreSubclassWindow() {
    HWND control = GetSafeHwnd();
    // A tab stop: a keyboard reaches the link in the template's order.
    ::SetWindowLongA(control, GWL_STYLE, ::GetWindowLongA(control, GWL_STYLE) | SS_NOTIFY | WS_TABSTOP);

    const std::string caption = WindowText(control);
    if (m_linkTarget.empty()) m_linkTarget = caption;
    if (caption.empty()) ::SetWindowTextA(control, m_linkTarget.c_str());

    LOGFONTA description;
    if (ReadControlFont(control, description)) {
        m_plainFont.Reset(::CreateFontIndirectA(&description));
        description.lfUnderline = TRUE;
        m_underlinedFont.Reset(::CreateFontIndirectA(&description));
    }

    FitToText();
    LoadLinkCursor();
    SetUnderlineMode(UnderlineOnHover);
}

LRESULT HyperlinkLabel::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETCURSOR:
            return OnSetCursor() ? TRUE : FALSE;
        case WM_MOUSEMOVE:
            OnMouseMove();
            break;
        case WM_TIMER:
            OnTimer();
            break;
        case WM_ERASEBKGND:
            OnEraseBackground(reinterpret_cast<HDC>(wParam));
            return TRUE;
        case WM_GETDLGCODE:
            return OnGetDialogCode(wParam, lParam);
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_SPACE) {
                // A key held down opens the link once, not once per repeat.
                constexpr LPARAM kKeyWasDown = 1 << 30;
                if (!(lParam & kKeyWasDown)) OnClicked();
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
            break;
        case WM_PAINT: {
            const LRESULT painted = DefWindowProc(msg, wParam, lParam);
            DrawFocus();
            return painted;
        }
        default:
            break;
    }
    return DefWindowProc(msg, wParam, lParam);
}

bool HyperlinkLabel::OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
    if (msg == WM_CTLCOLORSTATIC) {
        *result = reinterpret_cast<LRESULT>(OnControlColour(reinterpret_cast<HDC>(wParam)));
        return true;
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
        OnClicked();
        *result = 0;
        return true;
    }
    return false;
}

LRESULT HyperlinkLabel::OnGetDialogCode(WPARAM wParam, LPARAM lParam) {
    LRESULT code = DefWindowProc(WM_GETDLGCODE, wParam, lParam);
    // Enter opens the link rather than pressing the default button.
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
    return code;
}

void HyperlinkLabel::DrawFocus() {
    HWND control = GetSafeHwnd();
    if (::GetFocus() != control) return;
    HDC dc = ::GetDC(control);
    if (!dc) return;
    RECT client;
    ::GetClientRect(control, &client);
    ::DrawFocusRect(dc, &client);
    ::ReleaseDC(control, dc);
}

COLORREF HyperlinkLabel::TextColour() const {
    if (IsHighContrastOn()) {
        return ReadableSystemColour(kHighContrastLinkColours,
                                    sizeof kHighContrastLinkColours / sizeof kHighContrastLinkColours[0],
                                    COLOR_BTNFACE);
    }
    return m_hovering ? m_hoverColour : m_visited ? m_visitedColour : m_linkColour;
}

HBRUSH HyperlinkLabel::OnControlColour(HDC dc) {
    ::SetTextColor(dc, TextColour());
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void HyperlinkLabel::OnClicked() {
    m_hovering = FALSE;
    const UINT result = OpenLink(m_linkTarget, SW_SHOW);
    m_visited = static_cast<int>(result) > 32 ? TRUE : FALSE;
    if (m_visited) {
        SetVisitedState(true);
    } else {
        ::MessageBeep(MB_ICONEXCLAMATION);
    }
}

void HyperlinkLabel::OnMouseMove() {
    if (m_hovering) return;
    m_hovering = TRUE;
    if (m_underlineMode == UnderlineOnHover) SwitchFont(m_underlinedFont.Get());
    ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
    ::SetTimer(GetSafeHwnd(), m_hoverTimerId, kHoverTimerPeriodMs, nullptr);
}

void HyperlinkLabel::OnTimer() {
    HWND control = GetSafeHwnd();
    const DWORD position = ::GetMessagePos();
    POINT cursor{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ::ScreenToClient(control, &cursor);
    RECT client;
    ::GetClientRect(control, &client);
    if (::PtInRect(&client, cursor)) return;

    m_hovering = FALSE;
    ::KillTimer(control, m_hoverTimerId);
    if (m_underlineMode != UnderlineAlways) SwitchFont(m_plainFont.Get());
    client.bottom += kUnderlineRepaintMargin;
    ::InvalidateRect(control, &client, TRUE);
}

bool HyperlinkLabel::OnSetCursor() {
    if (!m_linkCursor) return false;
    ::SetCursor(m_linkCursor.Get());
    return true;
}

void HyperlinkLabel::OnEraseBackground(HDC dc) {
    RECT client;
    ::GetClientRect(GetSafeHwnd(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
}

void HyperlinkLabel::SwitchFont(HFONT font) {
    ::SendMessageA(GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}
