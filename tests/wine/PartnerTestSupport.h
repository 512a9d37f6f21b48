// Shared pieces of the partner-offer tests: a private temporary folder for
// the process (the checks and installers use the temporary folder) and the
// registry keys the stand-in partner programs decide and record by.
#pragma once

#include <string>

#include <windows.h>

#include "framework/Handles.h"
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
