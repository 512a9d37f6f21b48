// What the setup leaves on a machine, named once for the setup and for its
// uninstaller: registry keys, the group folder and link names, and the line
// that ends every record of their logs.
#pragma once

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessolo";
constexpr char kViewerClassKey[] = "SOFTWARE\\Classes\\Tessolo";
// The Default-Programs registration of the Vista family.
constexpr char kApplicationKey[] = "SOFTWARE\\Tessolo";
constexpr char kCapabilitiesKey[] = "SOFTWARE\\Tessolo\\Capabilities";
constexpr char kRegisteredApplicationsKey[] = "SOFTWARE\\RegisteredApplications";

// An extension's machine-wide default (%s: the extension without its dot).
constexpr char kMachineExtensionFormat[] = "SOFTWARE\\Classes\\.%s";
// Where the shell keeps the per-user choices, one key ".ext" each; the
// formats take this key, then the extension without its dot.
constexpr char kUserFileExtsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
constexpr char kUserFileExtsFormat[] = "%s\\.%s";
constexpr char kUserChoiceFormat[] = "%s\\.%s\\UserChoice";
// The two value names differ in letter case on purpose: the shell reads
// FileExts' "ProgID" and UserChoice's "Progid".
constexpr char kFileExtsProgIdValue[] = "ProgID";
constexpr char kUserChoiceProgIdValue[] = "Progid";

// The Start-menu group's folder, and the desktop links (the thumbnails link
// without the hyphen that the group's has).
constexpr char kGroupFolderName[] = "Tessolo";
constexpr char kDesktopLinkName[] = "Tessolo.lnk";
constexpr char kThumbnailsLinkName[] = "Tessolo Thumbnails.lnk";

// The line under every record: 48 hyphens.
constexpr char kLogSeparator[] = "------------------------------------------------\n";
