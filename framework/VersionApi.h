// The file-version functions, from the system's version.dll.
#pragma once

#include <windows.h>

#include "framework/SystemLibrary.h"

// Calls go through these pointers as they would through an import table (a
// test may put its own function in one for a scope); use them only when the
// table is complete.
struct VersionApi {
    VersionApi();
    explicit operator bool() const { return m_complete; }

    decltype(&::GetFileVersionInfoSizeA) GetFileVersionInfoSizeA = nullptr;
    decltype(&::GetFileVersionInfoA) GetFileVersionInfoA = nullptr;
    decltype(&::VerQueryValueA) VerQueryValueA = nullptr;

private:
    SystemLibrary m_library;
    bool m_complete;
};

// Loaded at the first use and kept for the run.
VersionApi& VersionLibrary();
