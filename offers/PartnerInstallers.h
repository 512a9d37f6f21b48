// Carrying out an accepted partner offer after the viewer is installed:
// download the partner's installer, check it, run it, wait for it, delete it.
#pragma once

#include <functional>
#include <string>

#include "download/Sha256.h"
#include "framework/Handles.h"

struct InstallOptions;

// A complete download: its file, still open for writing with only reading
// shared (so nobody else has written it since), and the SHA-256 of the bytes
// written into it.
struct DownloadedFile {
    UniqueFile writer;
    Sha256Digest digest{};
};

// Fetches `url` into `target`, created afresh, under the name `label`; true
// only for a complete, uncancelled transfer, which fills `file`.
using PartnerDownload = std::function<bool(const std::string& url, const std::string& target,
                                           const char* label, DownloadedFile& file)>;

// The "File Download" dialog, owned by the wizard.
bool DownloadWithDialog(const std::string& url, const std::string& target, const char* label,
                        DownloadedFile& file);

// The toolbar: sets ToolbarOfferFailed when the download failed, the file is
// not the one the build vouches for, or its installer could not be started.
void RunToolbarOffer(bool windows9x, const PartnerDownload& download = DownloadWithDialog);

// The browser: sets BrowserInstallerRun once its installer, the one the build
// vouches for, ran to its end.
void RunBrowserOffer(bool asDefault, const PartnerDownload& download = DownloadWithDialog);

// The install's partner steps: clears BrowserInstallerRun, then the toolbar
// and the browser when the options accept them. A silent install offers
// nothing.
void RunPartnerOffers(const InstallOptions& options);
