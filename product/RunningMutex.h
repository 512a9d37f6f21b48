// The setup holds this mutex for its whole run and the uninstaller for its
// own: an uninstaller that finds it held stops, so that it never removes
// what a setup is writing or what another uninstaller is already removing.
#pragma once

constexpr char kSetupRunningMutexName[] = "Tessolo.SetupOrUninstallRunning";
