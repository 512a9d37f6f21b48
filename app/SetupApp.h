// The setup's application object: InitInstance does the whole run.
#pragma once

#include <windows.h>

#include "framework/WinApp.h"

class SetupApp : public WinApp {
public:
    SetupApp() = default;

    BOOL InitInstance() override;

    // Scratch description while the wizard's three fonts are created.
    LOGFONTA m_logFont = {};

private:
    void RunSilent(const char* commandLine);
    void RunInteractive();
    // One of the wizard's fonts, described in m_logFont.
    HFONT CreateWizardFont(LONG height, int dpi);
};
