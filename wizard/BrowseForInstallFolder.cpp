#include "wizard/BrowseForInstallFolder.h"

#include <cstring>
#include <string>

#include <shlobj.h>

#include "product/Limits.h"
#include "framework/Handles.h"
#include "framework/StringTable.h"
#include "install/PathText.h"
#include "res/ResourceIds.h"
#include "wizard/FolderRules.h"
#include "wizard/WizPropertyPage.h"

namespace {

constexpr int kBrowseTitleLimit = 50;

// The item list the browser returns belongs to the caller.
struct ItemListTraits {
    using Handle = LPITEMIDLIST;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle list) { ::CoTaskMemFree(list); }
};

}  // namespace

int CALLBACK BrowseFolderCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        char selection[kMaxPath] = {};
        BrowseStartSelection(reinterpret_cast<const char*>(data), selection);
        ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(selection));
    }
    return 0;
}

int BrowseForInstallFolder(HWND owner, char* path) {
    const ComScope com;
    const std::string title = LoadStringText(IDS_BROWSE_TITLE, kBrowseTitleLimit);
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseFolderCallback;
    info.lParam = reinterpret_cast<LPARAM>(path);

    UniqueHandle<ItemListTraits> chosen(::SHBrowseForFolderA(&info));
    if (!chosen) return 0;
    if (!::SHGetPathFromIDListA(chosen.Get(), path)) return 0;
    AppendBackslash(path);
    return 1;
}

void CWizPropertyPage::OnBrowseInstallFolder() {
    char path[kMaxPath] = {};
    const std::string start = GetDlgItemText(IDC_FOLDER_EDIT, kMaxPath);
    std::strncpy(path, start.c_str(), kMaxPath - 1);
    if (!BrowseForInstallFolder(::GetActiveWindow(), path)) return;
    AppendProductFolder(path);
    SetDlgItemText(IDC_FOLDER_EDIT, path);
}
