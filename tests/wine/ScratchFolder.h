// A fresh folder under the temporary folder for one test, removed with its
// contents afterwards. Header-only: shared by the engine's Wine tests.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "framework/Handles.h"

class ScratchFolder {
public:
    ScratchFolder() {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        for (unsigned n = ::GetTickCount() & 0xFFFF;; ++n) {
            m_path = std::string(temp) + "engine-" + std::to_string(::GetCurrentProcessId()) + "-" +
                     std::to_string(n);
            if (::CreateDirectoryA(m_path.c_str(), nullptr)) break;
        }
        m_path += "\\";
    }
    ~ScratchFolder() {
        std::string from = m_path.substr(0, m_path.size() - 1);
        from.push_back('\0');  // the list ends in two zeros
        SHFILEOPSTRUCTA op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationA(&op);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending in a backslash.
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// Writes `bytes` to a new file (replacing any).
inline void WriteTextFile(const std::string& path, const std::string& bytes) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

inline std::string ReadWholeFile(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "<missing>";
    std::string bytes(::GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) {
        ::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    }
    return bytes;
}

// Names of the entries of a folder as stored, sorted and joined by commas;
// "." and ".." left out.
inline std::string ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFindHandle find(::FindFirstFileA((folder + "*").c_str(), &found));
    if (find) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (::FindNextFileA(find.Get(), &found));
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ",") + name;
    return joined;
}

inline std::string CurrentDirectory() {
    char buffer[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, buffer);
    return buffer;
}
