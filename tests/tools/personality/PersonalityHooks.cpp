// Loaded into the program under test before it runs (see Personality.cpp):
// redirects import-table entries so that the calls which answer differently on
// Windows 98 SE answer as 98 SE does. With TESSOLO_PERSONALITY=2000 only the
// hooks that follow libraries loaded later are set (2000 answers as NT). With
// TESSOLO_PERSONALITY=highcontrast SystemParametersInfoA reports high contrast
// switched on, as Windows does once the user turns it on (Wine always reports
// it off); the scheme's colours are the prefix's own.
//
// Redirected, in the program's exe and in every library it loads later through
// LoadLibraryA/LoadLibraryExA, and in the addresses GetProcAddress hands out:
//   SHGetSpecialFolderPathA  a CSIDL_COMMON_* folder fails (98 SE has none)
//   CreateFileA              FILE_SHARE_DELETE fails, ERROR_INVALID_PARAMETER
//   MoveFileExA              fails, ERROR_CALL_NOT_IMPLEMENTED
//   RegDeleteKeyA            deletes the key together with its subkeys
//   ...W of kernel32, user32, gdi32, advapi32, shell32, comdlg32, version
//                            fails, ERROR_CALL_NOT_IMPLEMENTED, except those
//                            98 SE implements (kImplementedWide)
// APPDATA is taken out of the environment by the launcher, not here.
//
// Source for the wide functions: MSDN Library 1998, "Windows 95 General
// Limitations" and the Platform SDK's list of Unicode functions that
// Windows 95/98 implement (the same source as the "msdn98" rows of
// tests/imports/win32_api_minimum.tsv): every other W function of the system
// DLLs is an exported stub. OLE's, shlwapi's and wininet's W functions are
// real on 98 SE and are left alone.
//
// What cannot be redirected this way:
//   - calls made inside system DLLs (for example the shell's own file access
//     while it saves a link, or COM interface methods): they never pass
//     through the program's import table;
//   - libraries loaded by LoadLibraryW or as a side effect of a system call;
//   - programs the program starts: they run without the personality;
//   - on x86, a W function missing from kStubArguments: stdcall needs the
//     stub to know its argument bytes, so it is left as it is (reported with
//     OutputDebugStringA).
#include <cstring>

#include <windows.h>
#include <shlobj.h>

namespace {

constexpr char kPersonalityVariable[] = "TESSOLO_PERSONALITY";
constexpr char kPersonality98[] = "98";
constexpr char kPersonalityHighContrast[] = "highcontrast";

bool g_is98 = false;
bool g_highContrast = false;

// The W functions 98 SE implements.
constexpr const char* kImplementedWide[] = {
    "EnumResourceLanguagesW", "EnumResourceNamesW", "EnumResourceTypesW", "ExtTextOutW",
    "FindResourceExW", "FindResourceW", "GetCharWidthW", "GetCommandLineW",
    "GetTextExtentExPointW", "GetTextExtentPoint32W", "GetTextExtentPointW", "lstrlenW",
    "MessageBoxExW", "MessageBoxIndirectW", "MessageBoxW", "MultiByteToWideChar", "TextOutW",
    "WideCharToMultiByte",
};

// The DLLs whose W functions 98 SE only stubs.
constexpr const char* kStubbedWideDlls[] = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "comdlg32.dll",
    "version.dll",
};

// W functions that return a handle where failure is INVALID_HANDLE_VALUE.
constexpr const char* kInvalidHandleWide[] = {"CreateFileW", "FindFirstFileW", "FindFirstFileExW"};

// Pointer-sized arguments of the W stubs (needed on x86 only, where the
// callee removes them).
struct StubArguments {
    const char* name;
    int count;
};
constexpr StubArguments kStubArguments[] = {
    {"CreateSemaphoreW", 4}, {"GetModuleHandleW", 1}, {"LoadLibraryW", 1},
    {"LoadLibraryExW", 3},   {"CreateFileW", 7},      {"FindFirstFileW", 2},
    {"FindFirstFileExW", 6}, {"CreateMutexW", 3},     {"CreateEventW", 4},
    {"GetModuleFileNameW", 3}, {"GetEnvironmentVariableW", 3}, {"DeleteFileW", 1},
    {"CreateDirectoryW", 2}, {"GetFileAttributesW", 1}, {"OutputDebugStringW", 1},
    {"RegOpenKeyExW", 5},    {"RegQueryValueExW", 6}, {"RegSetValueExW", 6},
    {"SetWindowTextW", 2},   {"GetWindowTextW", 3},   {"LoadStringW", 4},
    {"SHGetSpecialFolderPathW", 4}, {"SHGetFolderPathW", 5}, {"CreateProcessW", 10},
};

// Function pointers of any type pass through void (*)(), which the compiler
// accepts as matching every function type.
template <typename To, typename From>
To FunctionCast(From function) {
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}

bool NameIn(const char* name, const char* const* list, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!lstrcmpiA(name, list[i])) return true;
    }
    return false;
}

template <typename T, size_t N>
bool NameIn(const char* name, const T (&list)[N]) {
    return NameIn(name, list, N);
}

// W stubs: fail as 98 SE's do. Each argument count is its own function so
// that stdcall removes the right number of bytes on x86.
template <int Count, bool InvalidHandle>
struct WideStub;

#define TESSOLO_WIDE_STUB(count, ...)                                   \
    template <bool InvalidHandle>                                       \
    struct WideStub<count, InvalidHandle> {                             \
        static ULONG_PTR WINAPI Call(__VA_ARGS__) {                     \
            ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);                 \
            return InvalidHandle ? ~ULONG_PTR(0) : 0;                   \
        }                                                               \
    };
using A = ULONG_PTR;
TESSOLO_WIDE_STUB(1, A)
TESSOLO_WIDE_STUB(2, A, A)
TESSOLO_WIDE_STUB(3, A, A, A)
TESSOLO_WIDE_STUB(4, A, A, A, A)
TESSOLO_WIDE_STUB(5, A, A, A, A, A)
TESSOLO_WIDE_STUB(6, A, A, A, A, A, A)
TESSOLO_WIDE_STUB(7, A, A, A, A, A, A, A)
TESSOLO_WIDE_STUB(10, A, A, A, A, A, A, A, A, A, A)
#undef TESSOLO_WIDE_STUB

template <bool InvalidHandle>
FARPROC WideStubFor(int count) {
    switch (count) {
        case 1: return FunctionCast<FARPROC>(&WideStub<1, InvalidHandle>::Call);
        case 2: return FunctionCast<FARPROC>(&WideStub<2, InvalidHandle>::Call);
        case 3: return FunctionCast<FARPROC>(&WideStub<3, InvalidHandle>::Call);
        case 4: return FunctionCast<FARPROC>(&WideStub<4, InvalidHandle>::Call);
        case 5: return FunctionCast<FARPROC>(&WideStub<5, InvalidHandle>::Call);
        case 6: return FunctionCast<FARPROC>(&WideStub<6, InvalidHandle>::Call);
        case 7: return FunctionCast<FARPROC>(&WideStub<7, InvalidHandle>::Call);
        case 10: return FunctionCast<FARPROC>(&WideStub<10, InvalidHandle>::Call);
        default: return nullptr;
    }
}

FARPROC WideStubFor(const char* name) {
    const bool invalidHandle = NameIn(name, kInvalidHandleWide);
    int count = -1;
    for (const StubArguments& entry : kStubArguments) {
        if (!lstrcmpA(name, entry.name)) count = entry.count;
    }
#if defined(_WIN64)
    if (count < 0) count = 1;  // the caller removes the arguments
#else
    if (count < 0) {
        ::OutputDebugStringA("personality: W function not redirected (argument bytes unknown)");
        ::OutputDebugStringA(name);
        return nullptr;
    }
#endif
    return invalidHandle ? WideStubFor<true>(count) : WideStubFor<false>(count);
}

// -- the named redirections -----------------------------------------------------

using SpecialFolderFunction = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
using CreateFileFunction = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                                           DWORD, HANDLE);
using DeleteKeyFunction = LONG(WINAPI*)(HKEY, LPCSTR);
using LoadLibraryFunction = HMODULE(WINAPI*)(LPCSTR);
using LoadLibraryExFunction = HMODULE(WINAPI*)(LPCSTR, HANDLE, DWORD);
using GetProcAddressFunction = FARPROC(WINAPI*)(HMODULE, LPCSTR);
using ParametersFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);

SpecialFolderFunction g_specialFolder = nullptr;
CreateFileFunction g_createFile = nullptr;
DeleteKeyFunction g_deleteKey = nullptr;
LoadLibraryFunction g_loadLibrary = nullptr;
LoadLibraryExFunction g_loadLibraryEx = nullptr;
GetProcAddressFunction g_getProcAddress = nullptr;
ParametersFunction g_parameters = nullptr;

BOOL WINAPI ParametersHighContrast(UINT action, UINT number, PVOID data, UINT flags) {
    const BOOL result = g_parameters(action, number, data, flags);
    if (result && action == SPI_GETHIGHCONTRAST && data) {
        static_cast<HIGHCONTRASTA*>(data)->dwFlags |= HCF_HIGHCONTRASTON | HCF_AVAILABLE;
    }
    return result;
}

bool IsCommonFolder(int csidl) {
    switch (csidl & ~CSIDL_FLAG_MASK) {
        case CSIDL_COMMON_STARTMENU: case CSIDL_COMMON_PROGRAMS: case CSIDL_COMMON_STARTUP:
        case CSIDL_COMMON_DESKTOPDIRECTORY: case CSIDL_COMMON_ALTSTARTUP:
        case CSIDL_COMMON_FAVORITES: case CSIDL_COMMON_APPDATA: case CSIDL_COMMON_TEMPLATES:
        case CSIDL_COMMON_DOCUMENTS: case CSIDL_COMMON_ADMINTOOLS:
            return true;
        default:
            return false;
    }
}

BOOL WINAPI SpecialFolder98(HWND owner, LPSTR path, int csidl, BOOL create) {
    if (IsCommonFolder(csidl)) return FALSE;
    return g_specialFolder(owner, path, csidl, create);
}

HANDLE WINAPI CreateFile98(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                           DWORD disposition, DWORD flags, HANDLE templateFile) {
    if (share & FILE_SHARE_DELETE) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return g_createFile(name, access, share, security, disposition, flags, templateFile);
}

BOOL WINAPI MoveFileEx98(LPCSTR, LPCSTR, DWORD) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// 9x deletes a whole tree.
LONG WINAPI DeleteKey98(HKEY parent, LPCSTR name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char child[MAX_PATH];
        for (;;) {
            DWORD size = sizeof child;
            if (::RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) !=
                    ERROR_SUCCESS ||
                DeleteKey98(key, child) != ERROR_SUCCESS) {
                break;
            }
        }
        ::RegCloseKey(key);
    }
    return g_deleteKey(parent, name);
}

void PatchModule(HMODULE module);

// Libraries from the Windows folder are the system's: their calls stay as they are.
bool IsSystemModule(HMODULE module) {
    char path[MAX_PATH] = {};
    char windows[MAX_PATH] = {};
    if (!::GetModuleFileNameA(module, path, MAX_PATH)) return true;
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    return length && ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path,
                                      static_cast<int>(length), windows,
                                      static_cast<int>(length)) == CSTR_EQUAL;
}

HMODULE FollowLoad(HMODULE module) {
    if (module && !IsSystemModule(module)) PatchModule(module);
    return module;
}

HMODULE WINAPI LoadLibraryFollowed(LPCSTR name) { return FollowLoad(g_loadLibrary(name)); }

HMODULE WINAPI LoadLibraryExFollowed(LPCSTR name, HANDLE file, DWORD flags) {
    HMODULE module = g_loadLibraryEx(name, file, flags);
    if (flags & (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE |
                 LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE)) {
        return module;
    }
    return FollowLoad(module);
}

FARPROC Replacement(const char* dll, const char* function, FARPROC original);

FARPROC WINAPI GetProcAddressFollowed(HMODULE module, LPCSTR name) {
    FARPROC original = g_getProcAddress(module, name);
    if (!original || IS_INTRESOURCE(name)) return original;
    char path[MAX_PATH] = {};
    if (!::GetModuleFileNameA(module, path, MAX_PATH)) return original;
    const char* slash = std::strrchr(path, '\\');
    FARPROC replacement = Replacement(slash ? slash + 1 : path, name, original);
    return replacement ? replacement : original;
}

// Remembers the first real address of a redirected function.
template <typename Function>
FARPROC Keep(Function& keep, FARPROC original, Function replacement) {
    if (!keep) keep = FunctionCast<Function>(original);
    return FunctionCast<FARPROC>(replacement);
}

// The function to put in place of dll!function, or null to leave it.
FARPROC Replacement(const char* dll, const char* function, FARPROC original) {
    if (!lstrcmpA(function, "LoadLibraryA")) return Keep(g_loadLibrary, original, &LoadLibraryFollowed);
    if (!lstrcmpA(function, "LoadLibraryExA")) {
        return Keep(g_loadLibraryEx, original, &LoadLibraryExFollowed);
    }
    if (!lstrcmpA(function, "GetProcAddress")) {
        return Keep(g_getProcAddress, original, &GetProcAddressFollowed);
    }
    if (g_highContrast && !lstrcmpA(function, "SystemParametersInfoA")) {
        return Keep(g_parameters, original, &ParametersHighContrast);
    }
    if (!g_is98) return nullptr;
    if (!lstrcmpA(function, "SHGetSpecialFolderPathA")) {
        return Keep(g_specialFolder, original, &SpecialFolder98);
    }
    if (!lstrcmpA(function, "CreateFileA")) return Keep(g_createFile, original, &CreateFile98);
    if (!lstrcmpA(function, "MoveFileExA")) return FunctionCast<FARPROC>(&MoveFileEx98);
    if (!lstrcmpA(function, "RegDeleteKeyA")) return Keep(g_deleteKey, original, &DeleteKey98);
    const size_t length = std::strlen(function);
    if (length > 1 && function[length - 1] == 'W' && NameIn(dll, kStubbedWideDlls) &&
        !NameIn(function, kImplementedWide)) {
        return WideStubFor(function);
    }
    return nullptr;
}

void WriteSlot(FARPROC* slot, FARPROC function) {
    DWORD protection = 0;
    if (!::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return;
    *slot = function;
    ::VirtualProtect(slot, sizeof *slot, protection, &protection);
}

void PatchModule(HMODULE module) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return;
    for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name; ++import) {
        const char* dll = reinterpret_cast<const char*>(base + import->Name);
        if (!import->OriginalFirstThunk) continue;  // no names to go by
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<FARPROC*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            FARPROC replacement =
                Replacement(dll, reinterpret_cast<const char*>(byName->Name), *slots);
            if (replacement) WriteSlot(slots, replacement);
        }
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char personality[16] = {};
        ::GetEnvironmentVariableA(kPersonalityVariable, personality, sizeof personality);
        g_is98 = !lstrcmpA(personality, kPersonality98);
        g_highContrast = !lstrcmpA(personality, kPersonalityHighContrast);
        PatchModule(::GetModuleHandleA(nullptr));
    }
    return TRUE;
}
