// The files the setup installs: which resource becomes which file, in the
// order they are written.
#pragma once

#include <windows.h>

enum class WriteRule {
    Always,       // extracted over whatever is there
    IconLibrary,  // IconLibraryVersionRule decides
};

struct PayloadItem {
    LPCSTR type;            // "EXE", "DLL", "HLP", "PNG", "TXT" or the HTML type
    WORD id;
    const char* subfolder;  // of the install folder; empty: the folder itself
    const char* fileName;
    WriteRule rule;
};

constexpr int kPayloadCount = 25;

// Write order: the Help, Toolbars, Plugins, Languages and Html subfolders
// are made in that order, each right before its first row.
extern const PayloadItem kPayloadItems[kPayloadCount];
