#include "framework/FittedFont.h"

#include <string>

#include "framework/FittingHeight.h"

namespace {

// Releases a window's device context with the font it had before.
class FontInWindowDc {
public:
    explicit FontInWindowDc(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~FontInWindowDc() {
        if (m_previous) ::SelectObject(m_dc, m_previous);
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    FontInWindowDc(const FontInWindowDc&) = delete;
    FontInWindowDc& operator=(const FontInWindowDc&) = delete;

    HDC Select(HFONT font) {
        const HGDIOBJ old = ::SelectObject(m_dc, font);
        if (!m_previous) m_previous = old;
        return m_dc;
    }

private:
    HWND m_window;
    HDC m_dc;
    HGDIOBJ m_previous = nullptr;
};

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

// Whether a left-aligned static shows each of the text's own lines whole,
// without breaking it at a word: every line no wider than the box. (The
// height is no measure: at 96 DPI a title's cell is taller than its box and
// only the empty space below the letters is cut.)
bool DrawsWithin(HDC dc, const std::string& text, const RECT& client, UINT prefixFlag) {
    RECT needed = client;
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &needed, DT_CALCRECT | DT_EXPANDTABS | prefixFlag);
    return needed.right - needed.left <= client.right - client.left;
}

}  // namespace

UniqueFont FontThatFits(HWND control, HFONT font, HFONT body) {
    RECT client = {};
    LOGFONTA description = {};
    if (!control || !font || !::GetClientRect(control, &client) ||
        ::GetObjectA(font, sizeof description, &description) != sizeof description) {
        return UniqueFont();
    }
    const std::string text = WindowText(control);
    const UINT prefixFlag = (::GetWindowLongA(control, GWL_STYLE) & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    FontInWindowDc dc(control);
    if (DrawsWithin(dc.Select(font), text, client, prefixFlag)) return UniqueFont();

    // The floor in the description's own terms: a positive height names the
    // cell, a negative one the character without its internal leading.
    TEXTMETRICA bodyMetrics = {};
    if (!body || !::GetTextMetricsA(dc.Select(body), &bodyMetrics)) return UniqueFont();
    const bool cellHeight = description.lfHeight > 0;
    const int sign = cellHeight ? 1 : -1;
    const int floor = cellHeight ? bodyMetrics.tmHeight : bodyMetrics.tmHeight - bodyMetrics.tmInternalLeading;

    UniqueFont candidate;
    const int height = LargestFittingHeight(sign * description.lfHeight, floor, [&](int tried) {
        LOGFONTA smaller = description;
        smaller.lfHeight = sign * tried;
        dc.Select(font);  // a font is not deleted while it is selected
        candidate.Reset(::CreateFontIndirectA(&smaller));
        return candidate && DrawsWithin(dc.Select(candidate.Get()), text, client, prefixFlag);
    });
    dc.Select(font);
    description.lfHeight = sign * height;
    return UniqueFont(::CreateFontIndirectA(&description));
}
