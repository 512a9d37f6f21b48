// The browser's downloader: installs the browser program it carries into the
// user's local application data, records the command it is started with for
// the setup that offered it, and makes it the default browser when started
// with "/default:true".
#include <cstring>
#include <string>

#include <shlobj.h>
#include <windows.h>

#include "framework/Handles.h"
#include "payload/partner/PartnerKeys.h"
#include "payload/partner/PartnerRegistry.h"
#include "payload/partner/PartnerResources.h"

namespace {

constexpr char kApplicationFolders[][32] = {"\\Google", "\\Google\\Chrome",
                                            "\\Google\\Chrome\\Application"};
constexpr char kBrowserExeName[] = "\\chrome.exe";
constexpr char kDefaultSwitch[] = "/default:true";

bool WriteCarriedBrowser(const std::string& path) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_CARRIED_BROWSER), RT_RCDATA);
    HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) return false;
    const DWORD size = ::SizeofResource(nullptr, found);
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), bytes, size, &written, nullptr) && written == size;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char localData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0,
                                  localData))) {
        return 1;
    }
    std::string folder;
    for (const char* level : kApplicationFolders) {
        folder = std::string(localData) + level;
        (void)::CreateDirectoryA(folder.c_str(), nullptr);  // existing levels are fine
    }
    const std::string browser = folder + kBrowserExeName;
    if (!WriteCarriedBrowser(browser)) return 2;

    const char* commandLine = ::GetCommandLineA();
    if (!WriteString(HKEY_LOCAL_MACHINE, kBrowserClientStateKey, kInstallCommandLineValue,
                     commandLine) ||
        !WriteString(HKEY_LOCAL_MACHINE, kBrowserClientStateKey, kLaunchCommandValue, browser)) {
        return 3;
    }
    if (ArgumentsOf(commandLine).find(kDefaultSwitch) != std::string::npos) {
        (void)WriteString(HKEY_CURRENT_USER, kDefaultBrowserKey, nullptr, kBrowserClientName);
    }
    return 0;
}
