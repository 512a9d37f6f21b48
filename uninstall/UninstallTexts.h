// The uninstaller's German texts (compiled to CP1252) and exit codes.
#pragma once

constexpr char kBoxCaption[] = "Tessolo Deinstallation";
constexpr char kQuestionText[] = "Möchten Sie Tessolo und alle zugehörigen Komponenten entfernen?";
// The setup's own message for a running viewer.
constexpr char kViewerRunningText[] =
    "Warnung: Tessolo läuft!\nBeenden Sie bitte Tessolo bevor Sie mit der Installation fortsetzen!";
// Followed by ": " and the uninstaller's folder.
constexpr char kNotInstalledHereText[] =
    "Tessolo ist in diesem Ordner nicht installiert, es wurde nichts entfernt";
// Another installation owns the uninstall entry; followed by ": " and its folder.
constexpr char kOtherInstallationText[] =
    "Tessolo wurde aus diesem Ordner entfernt. Die Einträge in der Registrierung gehören "
    "zur Installation in einem anderen Ordner und bleiben erhalten";
constexpr char kAlreadyRunningText[] =
    "Tessolo wird gerade installiert oder deinstalliert.\nBitte warten Sie, bis dies "
    "abgeschlossen ist, und versuchen Sie es dann erneut.";
constexpr char kRemovedText[] = "Tessolo wurde vollständig von Ihrem Computer entfernt.";
constexpr char kPartlyRemovedText[] =
    "Tessolo wurde von Ihrem Computer entfernt.\n\nNicht entfernt wurde:";
// Each follows a path that stayed.
constexpr char kKeptReason[] = " (enthält Dateien, die nicht zu Tessolo gehören)";
constexpr char kFailedReason[] = " (konnte nicht gelöscht werden; ist es noch in Gebrauch?)";

constexpr char kUninstallLogName[] = "Tessolo_Uninstall.log";

// Exit codes. Shipped values are never reused.
enum UninstallExitCode : int {
    kUninstallRemoved = 0,
    kUninstallDeclined = 1,         // the question was answered No: nothing changed
    kUninstallViewerRunning = 2,    // a viewer window was open: nothing changed
    kUninstallNotInstalledHere = 3, // no uninstall entry for this folder: nothing changed
    kUninstallAlreadyRunning = 4,   // the setup or another uninstaller runs: nothing changed
    kUninstallIncomplete = 6,       // removed, but something of ours could not be
};
