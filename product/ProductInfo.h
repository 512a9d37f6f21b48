// Fixed facts about the product being installed.
#pragma once

constexpr int kProductMajor = 4;
constexpr int kProductMinor = 30;
constexpr char kProductVersionText[] = "4.30";
constexpr char kProductWord[] = "Tessolo";
constexpr char kPublisher[] = "Corvin Halden";
constexpr char kViewerWindowClass[] = "Tessolo";
constexpr char kViewerExeName[] = "t_solo32.exe";
constexpr char kUninstallExeName[] = "ts_uninstall.exe";
constexpr char kSettingsFileName[] = "t_solo32.ini";
constexpr char kInstallLogName[] = "Tessolo_Install.log";
