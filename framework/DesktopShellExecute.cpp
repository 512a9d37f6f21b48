#include "framework/DesktopShellExecute.h"

#include <exdisp.h>
#include <objbase.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlguid.h>

#include <string>

#include "framework/Handles.h"

namespace {

constexpr char kOpenVerb[] = "open";

// A BSTR for one call, freed after it.
struct BstrTraits {
    using Handle = BSTR;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle text) { ::SysFreeString(text); }
};
using UniqueBstr = UniqueHandle<BstrTraits>;

UniqueBstr ToBstr(const char* text) {
    const std::string source = text ? text : "";
    const int length = ::MultiByteToWideChar(CP_ACP, 0, source.c_str(), -1, nullptr, 0);
    if (length <= 0) return UniqueBstr();
    UniqueBstr wide(::SysAllocStringLen(nullptr, static_cast<UINT>(length - 1)));
    if (wide && ::MultiByteToWideChar(CP_ACP, 0, source.c_str(), -1, wide.Get(), length) == 0) {
        wide.Reset();
    }
    return wide;
}

// The shell's own automation object, reached through the desktop's folder
// view: the desktop window of the shell windows, its browser, the active
// view's background object and that object's application.
ComPtr<IShellDispatch2> DesktopShellDispatch() {
    ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                  IID_IShellWindows, reinterpret_cast<void**>(windows.Put())))) {
        return ComPtr<IShellDispatch2>();
    }
    VARIANT desktop = {};
    desktop.vt = VT_I4;
    desktop.lVal = CSIDL_DESKTOP;
    VARIANT none = {};
    long window = 0;
    ComPtr<IDispatch> found;
    // S_FALSE: no desktop window is registered (no shell, or another one).
    if (windows.Get()->FindWindowSW(&desktop, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                                    found.Put()) != S_OK ||
        !found) {
        return ComPtr<IShellDispatch2>();
    }
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(found.Get()->QueryInterface(IID_IServiceProvider,
                                           reinterpret_cast<void**>(services.Put()))) ||
        FAILED(services.Get()->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                            reinterpret_cast<void**>(browser.Put()))) ||
        FAILED(browser.Get()->QueryActiveShellView(view.Put())) ||
        FAILED(view.Get()->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                         reinterpret_cast<void**>(background.Put()))) ||
        FAILED(background.Get()->QueryInterface(IID_IShellFolderViewDual,
                                                reinterpret_cast<void**>(folderView.Put()))) ||
        FAILED(folderView.Get()->get_Application(application.Put())) ||
        FAILED(application.Get()->QueryInterface(IID_IShellDispatch2,
                                                 reinterpret_cast<void**>(shell.Put())))) {
        return ComPtr<IShellDispatch2>();
    }
    return shell;
}

VARIANT TextVariant(const UniqueBstr& text) {
    VARIANT value = {};
    value.vt = VT_BSTR;
    value.bstrVal = text.Get();
    return value;
}

bool ExecuteThroughDesktop(const char* file, const char* parameters, const char* directory,
                           int show) {
    ComScope com;
    const ComPtr<IShellDispatch2> shell = DesktopShellDispatch();
    const UniqueBstr wideFile = ToBstr(file);
    const UniqueBstr wideParameters = ToBstr(parameters);
    const UniqueBstr wideDirectory = ToBstr(directory);
    const UniqueBstr verb = ToBstr(kOpenVerb);
    if (!shell || !wideFile || !wideParameters || !wideDirectory || !verb) return false;
    VARIANT showValue = {};
    showValue.vt = VT_I4;
    showValue.lVal = show;
    return SUCCEEDED(shell.Get()->ShellExecute(wideFile.Get(), TextVariant(wideParameters),
                                               TextVariant(wideDirectory), TextVariant(verb),
                                               showValue));
}

}  // namespace

LaunchRoute ShellExecuteAsSignedInUser(bool desktopRouteOffered, HWND owner, const char* file,
                                       const char* parameters, const char* directory, int show) {
    if (desktopRouteOffered && ExecuteThroughDesktop(file, parameters, directory, show)) {
        return LaunchRoute::DesktopShell;
    }
    // Not reported, as before: what is started is a courtesy.
    (void)::ShellExecuteA(owner, kOpenVerb, file, parameters, directory, show);
    return LaunchRoute::ThisProcess;
}
