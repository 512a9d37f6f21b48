// The common-controls functions, from the system's comctl32.dll (the setup
// has no manifest: the system folder's version is the one it asks for).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/SystemLibrary.h"

// Calls go through these pointers as they would through an import table; use
// them only when the table is complete.
struct CommonControlsApi {
    CommonControlsApi();
    explicit operator bool() const { return m_complete; }

    decltype(&::InitCommonControlsEx) InitCommonControlsEx = nullptr;
    decltype(&::PropertySheetA) PropertySheetA = nullptr;

private:
    SystemLibrary m_library;
    bool m_complete;
};

// Loaded at the first use and kept for the run.
CommonControlsApi& CommonControlsLibrary();

// Registers the window classes `controls` names. Without the library they stay
// unregistered and a dialog that uses one fails to open.
void RegisterCommonControlClasses(const INITCOMMONCONTROLSEX* controls);
