#include "app/SetupApp.h"

#include <commctrl.h>

#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "app/InstallFolder.h"
#include "app/InstallOptions.h"
#include "app/ProductInfo.h"
#include "framework/StringTable.h"
#include "install/InstallLog.h"
#include "install/RunInstall.h"
#include "res/ResourceIds.h"

namespace {

// The message of a running viewer is read with this limit.
constexpr int kMessageTextLimit = 260;

SetupApp theApp;

ExitCode ExitCodeFor(InstallStop stop) {
    switch (stop) {
        case InstallStop::EmptyFolder: return kExitEmptyFolder;
        case InstallStop::FolderNotCreatable: return kExitFolderNotCreatable;
        case InstallStop::PayloadIncomplete: return kExitPayloadIncomplete;
        case InstallStop::None: break;
    }
    return kExitInstalled;
}

}  // namespace

bool IsViewerRunning() { return ::FindWindowA(kViewerWindowClass, nullptr) != nullptr; }

BOOL SetupApp::InitInstance() {
    // The three-dimensional control look: the common controls of this system.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);

    const char* commandLine = ::GetCommandLineA();
    if (IsSilentCommandLine(commandLine)) {
        RunSilent(commandLine);
    } else {
        RunInteractive();
    }
    return FALSE;
}

void SetupApp::RunSilent(const char* commandLine) {
    if (IsViewerRunning()) {
        WriteInstallLog(LoadStringText(IDS_VIEWER_RUNNING, kMessageTextLimit).c_str());
        SetExitCode(kExitViewerRunning);
        return;
    }

    InstallOptions options;
    if (!FindPreviousInstallFolder(options.installFolder)) {
        GetDefaultInstallFolder(options.installFolder);
    }
    ApplySilentOptions(commandLine, options);
    options.silent = 1;

    InstallStop stop = InstallStop::None;
    RunInstall(options, &stop);
    SetExitCode(ExitCodeFor(stop));
}

void SetupApp::RunInteractive() {
    // The wizard arrives with its own change; without it there is nothing to show.
}
