// A read-only multi-line edit that a keyboard reads: a tab stop whose arrow
// and page keys scroll the text, while Enter and Esc still reach the dialog's
// buttons (a multi-line edit keeps every key for itself otherwise, so Esc
// would no longer ask to leave the wizard).
#pragma once

#include <windows.h>

#include "framework/SubclassedControl.h"

class ReadingPane : public SubclassedControl {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
