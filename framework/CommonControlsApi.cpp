#include "framework/CommonControlsApi.h"

CommonControlsApi::CommonControlsApi()
    : m_library(LoadByNameFromSystem("comctl32.dll")),
      m_complete(m_library.Find("InitCommonControlsEx", InitCommonControlsEx) &&
                 m_library.Find("PropertySheetA", PropertySheetA)) {}

CommonControlsApi& CommonControlsLibrary() {
    static CommonControlsApi library;
    return library;
}

void RegisterCommonControlClasses(const INITCOMMONCONTROLSEX* controls) {
    const CommonControlsApi& library = CommonControlsLibrary();
    if (library) (void)library.InitCommonControlsEx(controls);
}
