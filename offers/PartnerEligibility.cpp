#include "offers/PartnerEligibility.h"

#include "product/Limits.h"
#include "framework/Handles.h"
#include "install/RunInstall.h"
#include "offers/ExtractResourceToTemp.h"
#include "res/ResourceIds.h"

namespace {

constexpr char kToolbarLibraryName[] = "gtapi.dll";
constexpr char kToolbarCheckExport[] = "ToolbarCompatibilityCheck";
constexpr char kBrowserLibraryName[] = "gcapi.dll";
constexpr char kBrowserCheckExport[] = "_GoogleChromeCompatibilityCheck@8";

// The request both libraries are asked: "may this setup make its offer?".
constexpr DWORD kOfferRequest = 1;

using ToolbarCheck = DWORD(WINAPI*)(DWORD request, HKEY userRoot, DWORD* reasons);
using BrowserCheck = DWORD(WINAPI*)(DWORD request, DWORD* reasons);

template <typename Function>
Function LookUp(const UniqueModule& library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library.Get(), name)));
}

}  // namespace

int CheckToolbarEligible(DWORD* offerReasons) {
    char path[kMaxPath];
    // Held from its writing until it is loaded, so the library written is the one loaded.
    UniqueFile held = ExtractResourceToTemp(path, kToolbarLibraryName, IDR_TOOLBAR_CHECK_DLL);
    if (!held) return 0;
    UniqueModule library(::LoadLibraryA(path));
    held.Reset();
    if (!library) return 0;
    const auto check = LookUp<ToolbarCheck>(library, kToolbarCheckExport);
    if (!check) return 0;
    const int result = static_cast<int>(check(kOfferRequest, HKEY_CURRENT_USER, offerReasons));

    library.Reset();
    // A library that cannot be deleted stays behind; the offer does not depend on it.
    (void)::DeleteFileA(path);
    return result;
}

int CheckBrowserEligible(DWORD* offerReasons) {
    char path[kMaxPath];
    // Held from its writing until it is loaded, so the library written is the one loaded.
    UniqueFile held = ExtractResourceToTemp(path, kBrowserLibraryName, IDR_BROWSER_CHECK_DLL);
    if (!held) return 0;

    int result = 0;
    {
        // The library uses COM on the caller's thread; it is unloaded before
        // COM is uninitialised.
        ComScope com;
        UniqueModule library(::LoadLibraryA(path));
        held.Reset();
        if (!library) return 0;
        const auto check = LookUp<BrowserCheck>(library, kBrowserCheckExport);
        if (!check) return 0;
        result = static_cast<int>(check(kOfferRequest, offerReasons));
    }
    (void)::DeleteFileA(path);
    return result;
}

PartnerOffers DecidePartnerOffers() {
    // The libraries write their reasons here; the setup does not read them.
    static DWORD offerReasons = 0;
    offerReasons = 0;
    BrowserInstallerRun = 0;

    PartnerOffers offers;
    offers.toolbarOffered = CheckToolbarEligible(&offerReasons) != 0;
    if (!offers.toolbarOffered) offers.browserOffered = CheckBrowserEligible(&offerReasons) != 0;
    return offers;
}
