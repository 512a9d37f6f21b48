// Carrying out an accepted partner offer after the viewer is installed:
// download the partner's installer, check it, run it, wait for it, delete it.
#pragma once

#include <functional>
#include <string>

struct InstallOptions;

// Fetches `url` into `target` under the name `label`; true only for a
// complete, uncancelled transfer.
using PartnerDownload =
    std::function<bool(const std::string& url, const std::string& target, const char* label)>;

// The "File Download" dialog, owned by the wizard.
bool DownloadWithDialog(const std::string& url, const std::string& target, const char* label);

// The toolbar: sets ToolbarOfferFailed when the download or the check of the
// file failed, or its installer could not be started.
void RunToolbarOffer(bool windows9x, const PartnerDownload& download = DownloadWithDialog);

// The browser: sets BrowserInstallerRun once its installer ran to its end.
void RunBrowserOffer(bool asDefault, const PartnerDownload& download = DownloadWithDialog);

// The install's partner steps: clears BrowserInstallerRun, then the toolbar
// and the browser when the options accept them. A silent install offers
// nothing.
void RunPartnerOffers(const InstallOptions& options);
