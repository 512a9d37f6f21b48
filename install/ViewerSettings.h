// The viewer's settings file, t_solo32.ini.
#pragma once

#include <string>

// Expands each %NAME% part of `text` from the environment (values cut at
// 260 characters); an unset variable drops its whole %NAME% and, when given,
// clears *allSet.
std::string ExpandPercentVariables(const char* text, bool* allSet = nullptr);

// Writes language and, when none is chosen yet, the toolbar skin for the
// primary display's full-screen width. A non-empty `iniFolder` moves the
// settings into that folder (expanded, created) and leaves only the redirect
// [Others] INI_Folder (unexpanded) in the install folder's file; one that
// names an unset variable counts as empty.
void WriteViewerSettings(const char* installFolder, const char* iniFolder);

// The same for a given full-screen width.
void WriteViewerSettingsForWidth(const char* installFolder, const char* iniFolder,
                                 int fullScreenWidth);
