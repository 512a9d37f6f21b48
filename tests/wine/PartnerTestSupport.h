// Shared pieces of the partner-offer tests: a private temporary folder for
// the process (the checks and installers use the temporary folder) and the
// registry keys the stand-in partner programs decide and record by.
#pragma once

#include <string>

#include <windows.h>

#include "framework/Handles.h"
#include "tests/wine/ImportHook.h"
#include "tests/wine/ScratchFolder.h"

constexpr char kToolbarProductKey[] = "SOFTWARE\\Google\\Google Toolbar";
constexpr char kBrowserClientStateKey[] =
    "SOFTWARE\\Google\\Update\\ClientState\\{8A69D345-D564-463C-AFF1-A69D9E530F96}";
constexpr char kExplorerKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";

// Points TMP and TEMP of this process (and of what it starts) at a fresh
// scratch folder; restores them afterwards.
class PrivateTempFolder {
public:
    PrivateTempFolder() : m_oldTmp(Read("TMP")), m_oldTemp(Read("TEMP")) {
        const std::string folder = m_scratch.Path().substr(0, m_scratch.Path().size() - 1);
        ::SetEnvironmentVariableA("TMP", folder.c_str());
        ::SetEnvironmentVariableA("TEMP", folder.c_str());
    }
    ~PrivateTempFolder() {
        ::SetEnvironmentVariableA("TMP", m_oldTmp.c_str());
        ::SetEnvironmentVariableA("TEMP", m_oldTemp.c_str());
    }
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

    // The folder, ending in a backslash, as GetTempPathA reports it.
    const std::string& Path() const { return m_scratch.Path(); }
    std::string operator/(const std::string& name) const { return m_scratch / name; }

private:
    static std::string Read(const char* name) {
        char value[MAX_PATH] = {};
        ::GetEnvironmentVariableA(name, value, MAX_PATH);
        return value;
    }
    ScratchFolder m_scratch;
    std::string m_oldTmp;
    std::string m_oldTemp;
};

inline bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Records, at each call that names the watched file, whether another program
// could write or delete it at that moment: "<call> held" when it could do
// neither, else "<call> open"; entries end in "; ".
struct HoldWatch {
    std::string path;
    std::string seen;

    void Look(const char* call, const std::string& named) {
        if (_stricmp(named.c_str(), path.c_str()) != 0) return;
        constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        UniqueFile writer(::CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        UniqueFile remover(::CreateFileA(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                         0, nullptr));
        seen += std::string(call) + (writer || remover ? " open; " : " held; ");
    }
};
inline HoldWatch g_holdWatch;

// The path of an open file, as its handle knows it (Vista and later, as Wine).
inline std::string PathOf(HANDLE file) {
    using FinalPath = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
    static const auto finalPath = reinterpret_cast<FinalPath>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    char path[MAX_PATH] = {};
    if (!finalPath || finalPath(file, path, MAX_PATH, 0) == 0) return {};
    const std::string text = path;
    return text.rfind("\\\\?\\", 0) == 0 ? text.substr(4) : text;
}

// The stand-in partner programs and libraries, built beside this test's folder.
inline std::string StandIn(const char* name) {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    for (int level = 0; level < 3; ++level) path.erase(path.find_last_of('\\'));
    return path + "\\payload\\partner\\" + name;
}

extern "C" decltype(&::CreateFileA) createFileSlot IMPORT_SLOT(CreateFileA, 28);
inline const auto realCreateFile = createFileSlot;

// Someone else in the temporary folder: each time the setup is about to open
// the watched file for reading (to hold, check or use it), puts its own bytes
// there: in place when the file can be written, else as a new file under its
// name when the old one can be deleted.
struct Swapper {
    std::string path;
    std::string bytes;
    int chances = 0;
    int swaps = 0;

    void Swap() {
        ++chances;
        constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        UniqueFile file(realCreateFile(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
        if (!file && ::DeleteFileA(path.c_str())) {
            file.Reset(realCreateFile(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                      nullptr));
        }
        DWORD written = 0;
        if (file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                &written, nullptr) &&
            ::SetEndOfFile(file.Get())) {
            ++swaps;
        }
    }
};
inline Swapper g_swapper;

inline HANDLE WINAPI CreateFileAndSwap(LPCSTR name, DWORD access, DWORD share,
                                       LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                       DWORD flags, HANDLE model) {
    if ((access & GENERIC_READ) && _stricmp(name, g_swapper.path.c_str()) == 0) g_swapper.Swap();
    return realCreateFile(name, access, share, security, disposition, flags, model);
}

// Puts the swapper before every CreateFileA of this program for one scope.
struct SwapWhenOpened {
    SwapWhenOpened(const std::string& path, const std::string& bytes) {
        g_swapper = {path, bytes, 0, 0};
    }
    ImportHook<decltype(&::CreateFileA)> hook{createFileSlot, CreateFileAndSwap};
};

// Opens the file for writing the way another program would keep it: sharing
// reading and writing but not deleting, so its name cannot be freed.
inline UniqueFile KeepOpenForWriting(const std::string& path) {
    return UniqueFile(realCreateFile(path.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                                     nullptr));
}

inline void CreateKey(HKEY root, const char* subkey) {
    UniqueKey key;
    ::RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr);
}

// Leaf keys only: the stand-ins' keys have no subkeys.
inline void DeleteKey(HKEY root, const char* subkey) { (void)::RegDeleteKeyA(root, subkey); }

inline std::string ReadValue(HKEY root, const char* subkey, const char* name) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, subkey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return {};
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    if (::RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return buffer;
}

inline void WriteValue(HKEY root, const char* subkey, const char* name, const std::string& value) {
    UniqueKey key;
    ::RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr);
    ::RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
}

// The partner products count as not installed; IE's version is left alone.
inline void UninstallPartnerProducts() {
    DeleteKey(HKEY_LOCAL_MACHINE, kToolbarProductKey);
    DeleteKey(HKEY_LOCAL_MACHINE, kBrowserClientStateKey);
    DeleteKey(HKEY_CURRENT_USER, kBrowserClientStateKey);
}
