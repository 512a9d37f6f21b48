// A static text of a dialog shown and used as a link: link colours, a hand
// cursor, an underline (on hover, always or never), and a click opens its
// target through the shell or, failing that, the browser registered for HTML.
// It is a tab stop: Enter and Space open it, and it shows a focus rectangle
// while it has the keyboard focus. In a high-contrast scheme it takes the
// scheme's colours.
#pragma once

#include <string>

#include <windows.h>

#include "framework/Handles.h"
#include "framework/SubclassedControl.h"

class HyperlinkLabel : public SubclassedControl {
public:
    enum UnderlineMode { UnderlineNever = 0, UnderlineAlways = 1, UnderlineOnHover = -1 };

    HyperlinkLabel() = default;
    ~HyperlinkLabel() override;

    // What a click opens; refits an attached control. The shown text stays.
    void SetLinkTarget(const std::string& target);
    void SetVisitedState(bool visited);
    void SetUnderlineMode(int mode);
    void FitToText();
    void LoadLinkCursor();
    // Stops hover tracking and destroys the control.
    bool DestroyWindow();

    // Opens `target`; the result is greater than 32 on success.
    static UINT OpenLink(const std::string& target, int showCommand);
    // Reads the default value of root\subKey into `value` (kMaxPath bytes).
    // Returns 0, or the error of opening the key or of reading the value.
    static LONG ReadDefaultRegValue(HKEY root, const char* subKey, char* value);

    const std::string& LinkTarget() const { return m_linkTarget; }
    bool IsVisited() const { return m_visited != FALSE; }
    bool IsHovering() const { return m_hovering != FALSE; }
    int GetUnderlineMode() const { return m_underlineMode; }
    HFONT UnderlinedFont() const { return m_underlinedFont.Get(); }
    HFONT PlainFont() const { return m_plainFont.Get(); }

    static constexpr UINT kHoverTimerId = 100;
    static constexpr UINT kHoverTimerPeriodMs = 100;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    HBRUSH OnControlColour(HDC dc);
    COLORREF TextColour() const;
    LRESULT OnGetDialogCode(WPARAM wParam, LPARAM lParam);
    void DrawFocus();
    void OnClicked();
    void OnMouseMove();
    void OnTimer();
    bool OnSetCursor();
    void OnEraseBackground(HDC dc);
    void SwitchFont(HFONT font);

    COLORREF m_linkColour = RGB(0, 0, 238);
    COLORREF m_visitedColour = RGB(85, 26, 139);
    COLORREF m_hoverColour = RGB(255, 0, 0);
    BOOL m_hovering = FALSE;
    BOOL m_visited = FALSE;
    int m_underlineMode = UnderlineOnHover;
    BOOL m_fitToText = TRUE;
    std::string m_linkTarget;
    UniqueFont m_underlinedFont;
    UniqueFont m_plainFont;
    UniqueCursor m_linkCursor;
    UINT m_hoverTimerId = kHoverTimerId;
};
