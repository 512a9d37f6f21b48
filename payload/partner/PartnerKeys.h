// Registry places the stand-in partner programs share: what the checks look
// at is what the installers leave behind.
#pragma once

// The toolbar is installed on the machine when this key exists; its
// installer records the command line it was started with here.
constexpr char kToolbarProductKey[] = "SOFTWARE\\Google\\Google Toolbar";
// What the toolbar's installer saw of the top-level windows it told about a
// settings change ("title|enabled|answered" lines).
constexpr char kTopLevelWindowsValue[] = "TopLevelWindows";
// The browser's update client state, machine-wide or per user: the browser is
// installed when the key exists under either root.
constexpr char kBrowserClientStateKey[] =
    "SOFTWARE\\Google\\Update\\ClientState\\{8A69D345-D564-463C-AFF1-A69D9E530F96}";
constexpr char kLaunchCommandValue[] = "LastInstallerSuccessLaunchCmdLine";
constexpr char kInstallCommandLineValue[] = "InstallCommandLine";
// The browser records each start's command line here (per user).
constexpr char kBrowserProfileKey[] = "Software\\Google\\Chrome";
constexpr char kLaunchedWithValue[] = "LastLaunchCommandLine";
// Made the default browser ("/default:true").
constexpr char kDefaultBrowserKey[] = "Software\\Clients\\StartMenuInternet";
constexpr char kBrowserClientName[] = "Google Chrome";
// Internet Explorer's version, which the toolbar needs (major 6 or later).
constexpr char kInternetExplorerKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";
constexpr char kInternetExplorerVersionValue[] = "Version";
constexpr int kToolbarMinimumExplorerMajor = 6;

// Reasons the checks give for refusing an offer (bits of the reasons word).
constexpr unsigned long kReasonAlreadyInstalled = 0x1;
constexpr unsigned long kReasonSystemUnsupported = 0x2;
constexpr unsigned long kReasonUnknownRequest = 0x80;
// The one request the checks understand: "may this setup make its offer?".
constexpr unsigned long kOfferRequest = 1;
