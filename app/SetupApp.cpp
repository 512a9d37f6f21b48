#include "app/SetupApp.h"

#include <commctrl.h>

#include "app/CommandLine.h"
#include "product/RunningMutex.h"
#include "app/SilentInstall.h"
#include "framework/CommonControlsApi.h"
#include "framework/DpiScale.h"
#include "framework/ReachableFace.h"
#include "framework/ScreenDpi.h"
#include "framework/Handles.h"
#include "offers/PartnerEligibility.h"
#include "res/ResourceIds.h"
#include "wizard/WizPropertyPage.h"
#include "wizard/WizPropertySheet.h"

namespace {

// The wizard's three fonts: one face and weight. The titles have cell
// heights in pixels at 96 DPI, grown with the screen's density like the
// dialog font. The offer texts are the dialog font's size made bold: the
// face's smallest cell, which a height of 8 picks at 96 DPI, is exactly that,
// and at a higher density a scaled 8 would fall below the body text.
constexpr char kWizardFontFace[] = "MS Sans Serif";
constexpr LONG kWizardFontWeight = 600;
constexpr LONG kTitleFontHeight = 20;
constexpr int kDialogFontPoints = 8;  // the pages' FONT 8, "MS Sans Serif"
constexpr LONG kOfferTitleFontHeight = 18;

// Five pages always, a sixth when a partner offer is shown.
constexpr int kWizardPageObjects = 6;
constexpr int kOfferPageObject = 5;

SetupApp theApp;
CWizPropertySheet theSheet("Tessolo Setup", nullptr, 0);

}  // namespace

BOOL SetupApp::InitInstance() {
    // Held until the run ends: no uninstaller starts meanwhile. A second
    // setup shares it and is not stopped by it.
    const UniqueKernelHandle running(::CreateMutexA(nullptr, FALSE, kSetupRunningMutexName));

    // The three-dimensional control look: the common controls of this system.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    RegisterCommonControlClasses(&controls);

    const char* commandLine = ::GetCommandLineA();
    if (IsSilentCommandLine(commandLine)) {
        RunSilent(commandLine);
    } else {
        RunInteractive();
    }
    return FALSE;
}

void SetupApp::RunSilent(const char* commandLine) { SetExitCode(RunSilentInstall(commandLine)); }

HFONT SetupApp::CreateWizardFont(LONG height, int dpi) {
    m_logFont = LOGFONTA{};
    lstrcpynA(m_logFont.lfFaceName, kWizardFontFace, LF_FACESIZE);
    m_logFont.lfWeight = kWizardFontWeight;
    m_logFont.lfPitchAndFamily = 0;
    m_logFont.lfHeight = height;
    // At the standard density the face draws what it always drew.
    if (dpi != kStandardDpi) UseFaceThatReaches(m_logFont);
    return ::CreateFontIndirectA(&m_logFont);
}

void SetupApp::RunInteractive() {
    const int dpi = ScreenDpi();
    theSheet.TitleFont.Reset(CreateWizardFont(ScaleForDpi(kTitleFontHeight, dpi), dpi));
    theSheet.OfferTextFont.Reset(CreateWizardFont(PointsToCharacterHeight(kDialogFontPoints, dpi), dpi));
    theSheet.OfferTitleFont.Reset(CreateWizardFont(ScaleForDpi(kOfferTitleFontHeight, dpi), dpi));
    theSheet.m_hFileTypeList = nullptr;

    CWizPropertyPage pages[kWizardPageObjects];
    // The partner's checks decide before any window exists: the toolbar
    // first, the browser only without a toolbar offer (this also clears
    // BrowserInstallerRun).
    const PartnerOffers offers = DecidePartnerOffers();
    theSheet.ToolbarOffered = offers.toolbarOffered;
    theSheet.BrowserOffered = offers.browserOffered;

    pages[0].Construct(IDD_WELCOME);
    pages[1].Construct(IDD_WHATS_NEW);
    pages[2].Construct(IDD_FILE_TYPES);
    pages[3].Construct(IDD_READY);
    pages[4].Construct(IDD_FINISHED);
    if (theSheet.ToolbarOffered) {
        pages[kOfferPageObject].Construct(IDD_TOOLBAR_OFFER);
    } else if (theSheet.BrowserOffered) {
        pages[kOfferPageObject].Construct(IDD_BROWSER_OFFER);
    }

    theSheet.AddPage(&pages[0]);
    theSheet.AddPage(&pages[1]);
    theSheet.AddPage(&pages[2]);
    if (theSheet.ToolbarOffered || theSheet.BrowserOffered) theSheet.AddPage(&pages[kOfferPageObject]);
    theSheet.AddPage(&pages[3]);
    theSheet.AddPage(&pages[4]);

    theSheet.DoModal();
    SetMainWindow(nullptr);
}
