#include "framework/VersionApi.h"

VersionApi::VersionApi()
    : m_library("version.dll"),
      m_complete(m_library.Find("GetFileVersionInfoSizeA", GetFileVersionInfoSizeA) &&
                 m_library.Find("GetFileVersionInfoA", GetFileVersionInfoA) &&
                 m_library.Find("VerQueryValueA", VerQueryValueA)) {}

VersionApi& VersionLibrary() {
    static VersionApi library;
    return library;
}
