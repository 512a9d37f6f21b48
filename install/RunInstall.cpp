#include "install/RunInstall.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "install/InstallOptions.h"
#include "product/Limits.h"
#include "framework/StringTable.h"
#include "framework/WinApp.h"
#include "install/ExtractResource.h"
#include "install/Folders.h"
#include "install/IconLibraryRule.h"
#include "install/InstallLog.h"
#include "install/InstallRecord.h"
#include "install/LogRecord.h"
#include "install/PayloadTable.h"
#include "install/RegisterApplication.h"
#include "install/ViewerSettings.h"
#include "install/WriteFailures.h"
#include "offers/PartnerInstallers.h"
#include "res/ResourceIds.h"

int ToolbarOfferFailed = 0;
int BrowserInstallerRun = 0;

namespace {

// Only a silent install logs it, so it has no place in the wizard's string table.
constexpr char kNotCompletelyRegisteredMessage[] =
    "Tessolo wurde installiert, aber nicht vollständig registriert! Nicht geschrieben:";

// A stop: the wizard shows the message, a silent install logs `logText`,
// which names the folder as well.
void ReportStop(const InstallOptions& options, const std::string& caption,
                const std::string& message, const std::string& logText) {
    if (options.silent) {
        WriteInstallLog(logText.c_str());
        return;
    }
    (void)::MessageBoxA(MessageBoxOwner(), message.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

// The record of a silent install that went through but could not write
// everything after the payload: the message, then each name on a line.
std::string NotCompletelyRegisteredText(const std::vector<std::string>& names) {
    std::string text = kNotCompletelyRegisteredMessage;
    for (const std::string& name : names) text += "\n" + name;
    return text;
}

// A subfolder that already is a junction or symbolic link leads out of the
// install folder, and the uninstaller keeps it for that reason: its rows fail
// rather than write wherever it leads.
// `folder` ends in a backslash, which would look through the link.
bool IsLinkedFolder(const char* folder) {
    const std::string name(folder, std::strlen(folder) - 1);
    const DWORD attributes = ::GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Writes the payload rows in order into `folder` (normalised, ending in a
// backslash) and returns how many succeeded. Every row is attempted: a
// locked file fails its own row only. iconLibraryKept tells whether an
// existing icon library stayed in place of ours.
int WritePayload(const char* folder, bool& iconLibraryKept) {
    int written = 0;
    const char* previousSubfolder = "";
    char targetFolder[kMaxPath];
    std::strcpy(targetFolder, folder);
    RemoveLeftoverCopies(folder);
    for (const PayloadItem& item : kPayloadItems) {
        if (std::strcmp(item.subfolder, previousSubfolder) != 0) {
            previousSubfolder = item.subfolder;
            if (item.subfolder[0] == '\0') {
                std::strcpy(targetFolder, folder);
            } else if (std::snprintf(targetFolder, kMaxPath, "%s%s", folder, item.subfolder) <
                       kMaxPath) {
                // A subfolder that cannot be made shows in its files' failures.
                (void)EnsureFolderExists(targetFolder);
                if (IsLinkedFolder(targetFolder)) {
                    targetFolder[0] = '\0';
                } else {
                    RemoveLeftoverCopies(targetFolder);
                }
            } else {
                targetFolder[0] = '\0';  // too long: the rows below fail
            }
        }
        char path[kMaxPath];
        if (targetFolder[0] == '\0' ||
            std::snprintf(path, kMaxPath, "%s%s", targetFolder, item.fileName) >= kMaxPath) {
            continue;
        }
        const int ok = item.rule == WriteRule::IconLibrary
                           ? IconLibraryVersionRule(path, item.id, item.type, &iconLibraryKept)
                           : ExtractResourceToFile(path, item.id, item.type);
        written += ok;
    }
    return written;
}

}  // namespace

int RunInstall(const InstallOptions& options, InstallStop* stop, std::string* installedFolder) {
    InstallStop ignoredStop = InstallStop::None;
    InstallStop& reason = stop ? *stop : ignoredStop;
    reason = InstallStop::None;

    const std::string caption = LoadStringText(IDS_MESSAGE_CAPTION);
    char folder[kMaxPath];
    std::strncpy(folder, options.installFolder, kMaxPath - 1);
    folder[kMaxPath - 1] = '\0';

    if (folder[0] == '\0') {
        const std::string message = LoadStringText(IDS_INVALID_FOLDER);
        ReportStop(options, caption, message, ComposeLogMessage(message, folder));
        reason = InstallStop::EmptyFolder;
        return 0;
    }
    // Whatever cannot be written from here on is noted; a stop drops the notes.
    WriteFailures unwritten;
    // The levels made here are the uninstaller's to take away again.
    CreatedFolderRecord createdFolders;
    if (!EnsureFolderExists(folder, [&](const char* top) { createdFolders.Claim(top); })) {
        createdFolders.WithdrawUnmade();
        const std::string message = LoadStringText(IDS_FOLDER_NOT_CREATABLE);
        ReportStop(options, caption, message, ComposeLogMessage(message, folder));
        reason = InstallStop::FolderNotCreatable;
        return 0;
    }
    bool iconLibraryKept = false;
    if (WritePayload(folder, iconLibraryKept) != kPayloadCount) {
        // What was written stays; nothing is registered.
        const std::string message = LoadStringText(IDS_INSTALL_FAILED);
        ReportStop(options, caption, message, ComposeLogMessage(folder, message));
        reason = InstallStop::PayloadIncomplete;
        return 0;
    }

    // From here on nothing changes the result. The later steps name the
    // folder the files went to: a level typed with trailing spaces was
    // created without them, and a settings file or shortcut under the typed
    // text would point into a folder that does not exist. Whatever of it
    // cannot be written is noted.
    RecordIconLibraryDecision(iconLibraryKept);
    WriteViewerSettings(folder, options.iniFolder);

    // Taking over file types changes the user's current associations, so the
    // wizard asks; a silent install, or one without a chosen type, does not.
    int confirmed = 1;
    if (options.associateFiles && !options.silent) {
        const std::string question = LoadStringText(IDS_CONFIRM_ASSOCIATIONS);
        confirmed = ::MessageBoxA(MessageBoxOwner(), question.c_str(), caption.c_str(),
                                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDNO;
    }

    // Registration: shortcuts, program class, "Applications" and uninstall
    // entries, file types. It always reports success; every write is attempted.
    (void)RegisterApplication(confirmed, options.associateFiles, folder,
                              options.startMenuShortcut, options.desktopShortcut,
                              options.thumbnailsShortcut, options.allUsersShortcuts,
                              options.fileTypeSelection, options.assocAllUsers);

    if (installedFolder) *installedFolder = folder;

    // The wizard goes on as if all were written; a silent install tells
    // through its exit code and one log record.
    if (!unwritten.Names().empty()) {
        reason = InstallStop::NotCompletelyRegistered;
        if (options.silent) {
            WriteInstallLog(
                ComposeLogMessage(folder, NotCompletelyRegisteredText(unwritten.Names())).c_str());
        }
    }

    // Partner offers (wizard only): the accepted toolbar offer, then the
    // accepted browser offer, each downloaded, verified, run and deleted.
    RunPartnerOffers(options);

    return 1;
}
