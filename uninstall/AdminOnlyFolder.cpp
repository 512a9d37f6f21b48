#include "uninstall/AdminOnlyFolder.h"

#include <windows.h>

#include "framework/Handles.h"
#include "install/OsFamilyQuery.h"

namespace {

// The token and ACL functions are looked up at run time: 98 lacks some, and
// CheckTokenMembership, AddAccessAllowedAceEx and SetSecurityDescriptorControl
// came with 2000.
constexpr char kAdvapiName[] = "advapi32.dll";

template <typename Function>
Function Lookup(const char* name) {
    const HMODULE advapi = ::GetModuleHandleA(kAdvapiName);
    return advapi ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(advapi, name)))
                  : nullptr;
}

// The well-known groups, laid out as the system lays out a SID, so that no
// allocation has to be freed again.
struct WellKnownSid {
    BYTE revision;
    BYTE partCount;
    SID_IDENTIFIER_AUTHORITY authority;
    DWORD parts[2];
};
const WellKnownSid kAdministrators = {SID_REVISION, 2, SECURITY_NT_AUTHORITY,
                                      {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}};
const WellKnownSid kSystem = {SID_REVISION, 1, SECURITY_NT_AUTHORITY, {SECURITY_LOCAL_SYSTEM_RID, 0}};

PSID AsSid(const WellKnownSid& sid) { return const_cast<WellKnownSid*>(&sid); }

// TokenElevation and its answer, from Vista on.
constexpr int kTokenElevationClass = 20;
struct TokenElevationAnswer {
    DWORD isElevated;
};

constexpr DWORD kAclBytes = 128;  // header and two entries of the SIDs above

}  // namespace

bool RunsElevated() {
    if (QueryOsVersion().platformId != VER_PLATFORM_WIN32_NT) return false;
    const auto openProcessToken =
        Lookup<BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE)>("OpenProcessToken");
    const auto getTokenInformation =
        Lookup<BOOL(WINAPI*)(HANDLE, int, void*, DWORD, DWORD*)>("GetTokenInformation");
    UniqueKernelHandle token;
    if (openProcessToken && getTokenInformation &&
        openProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put())) {
        TokenElevationAnswer elevation = {};
        DWORD size = 0;
        if (getTokenInformation(token.Get(), kTokenElevationClass, &elevation, sizeof elevation,
                                &size)) {
            return elevation.isElevated != 0;
        }
    }
    // Before Vista administrator rights are those of the Administrators group.
    const auto checkTokenMembership =
        Lookup<BOOL(WINAPI*)(HANDLE, PSID, PBOOL)>("CheckTokenMembership");
    BOOL member = FALSE;
    return checkTokenMembership && checkTokenMembership(nullptr, AsSid(kAdministrators), &member) &&
           member;
}

bool CreateAdminOnlyFolder(const std::string& folder) {
    const auto initializeDescriptor =
        Lookup<BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, DWORD)>("InitializeSecurityDescriptor");
    const auto initializeAcl = Lookup<BOOL(WINAPI*)(PACL, DWORD, DWORD)>("InitializeAcl");
    const auto addAllowedEntry =
        Lookup<BOOL(WINAPI*)(PACL, DWORD, DWORD, DWORD, PSID)>("AddAccessAllowedAceEx");
    const auto setDacl =
        Lookup<BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL)>("SetSecurityDescriptorDacl");
    const auto setOwner =
        Lookup<BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, PSID, BOOL)>("SetSecurityDescriptorOwner");
    const auto setControl = Lookup<BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, SECURITY_DESCRIPTOR_CONTROL,
                                                 SECURITY_DESCRIPTOR_CONTROL)>(
        "SetSecurityDescriptorControl");
    if (!initializeDescriptor || !initializeAcl || !addAllowedEntry || !setDacl || !setOwner ||
        !setControl) {
        return false;
    }
    DWORD aclBuffer[kAclBytes / sizeof(DWORD)] = {};
    const PACL acl = reinterpret_cast<PACL>(aclBuffer);
    const DWORD inherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    SECURITY_DESCRIPTOR descriptor = {};
    if (!initializeAcl(acl, sizeof aclBuffer, ACL_REVISION) ||
        !addAllowedEntry(acl, ACL_REVISION, inherited, FILE_ALL_ACCESS, AsSid(kAdministrators)) ||
        !addAllowedEntry(acl, ACL_REVISION, inherited, FILE_ALL_ACCESS, AsSid(kSystem)) ||
        !initializeDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !setDacl(&descriptor, TRUE, acl, FALSE) ||
        // The owner may change the security, so it is the group, not the user.
        !setOwner(&descriptor, AsSid(kAdministrators), FALSE) ||
        // Nothing inherited from the temporary folder above lets others in.
        !setControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
        return false;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    return ::CreateDirectoryA(folder.c_str(), &attributes) != FALSE;
}
