// A static text of a dialog that paints itself: its own font (bold or not),
// its own text colour, on an opaque background of the dialog's face colour.
// The control's own font setting is never changed. In a high-contrast scheme
// it paints with the scheme's text colour.
#pragma once

#include <windows.h>

#include "framework/Handles.h"
#include "framework/SubclassedControl.h"

class BannerLabel : public SubclassedControl {
public:
    BannerLabel();
    ~BannerLabel() override;

    // Replaces the label's font with one made from `description` (nothing
    // happens without one), its weight taken from the bold flag.
    void SetBannerLogFont(const LOGFONTA* description, bool redraw);
    // A font of that face (at most 31 characters) and height, everything else
    // zero; without a face, the control's own font at that height.
    void SetBannerFace(const char* face, int height, bool redraw);
    void SetBannerTextColor(COLORREF colour, bool redraw);
    // Back to the control's own face and height, bold or not.
    void SetBannerBold(bool bold, bool redraw);

    HFONT BannerFont() const { return m_font.Get(); }
    COLORREF BannerTextColor() const { return m_textColour; }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void Redraw();

    UniqueFont m_font;
    COLORREF m_textColour;
    BOOL m_bold = FALSE;
};
