#include "app/SilentInstall.h"

#include <windows.h>

#include "app/CommandLine.h"
#include "product/ExitCode.h"
#include "install/InstallFolder.h"
#include "install/InstallOptions.h"
#include "product/ProductInfo.h"
#include "framework/StringTable.h"
#include "install/InstallLog.h"
#include "install/RunInstall.h"
#include "res/ResourceIds.h"

namespace {

// The message of a running viewer is read with this limit.
constexpr int kMessageTextLimit = 260;

ExitCode ExitCodeFor(InstallStop stop) {
    switch (stop) {
        case InstallStop::EmptyFolder: return kExitEmptyFolder;
        case InstallStop::FolderNotCreatable: return kExitFolderNotCreatable;
        case InstallStop::PayloadIncomplete: return kExitPayloadIncomplete;
        case InstallStop::NotCompletelyRegistered: return kExitNotCompletelyRegistered;
        case InstallStop::None: break;
    }
    return kExitInstalled;
}

bool IsViewerRunning() { return ::FindWindowA(kViewerWindowClass, nullptr) != nullptr; }

}  // namespace

int RunSilentInstall(const char* commandLine) {
    // Nobody is there to answer a system error box: an empty removable
    // drive named by /folder= must fail the folder check, not stop the run.
    (void)::SetErrorMode(SEM_FAILCRITICALERRORS);

    if (IsViewerRunning()) {
        WriteInstallLog(LoadStringText(IDS_VIEWER_RUNNING, kMessageTextLimit).c_str());
        return kExitViewerRunning;
    }

    InstallOptions options;
    if (!FindPreviousInstallFolder(options.installFolder)) {
        GetDefaultInstallFolder(options.installFolder);
    }
    ApplySilentOptions(commandLine, options);
    MakeInstallFolderAbsolute(options.installFolder);
    options.silent = 1;

    InstallStop stop = InstallStop::None;
    RunInstall(options, &stop);
    return ExitCodeFor(stop);
}
