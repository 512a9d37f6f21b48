// Test probe: reads back from inside a Wine prefix what the setup left there
// (registry values with exact types and letter case, shell links, special
// folders, windows) and starts programs with an exact command line. Prints
// text and byte values as hex so no code page gets in the way.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "framework/Handles.h"

namespace {

void PrintHex(const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) std::printf("%02x", bytes[i]);
}

void PrintHexText(const char* text) { PrintHex(text, std::strlen(text)); }

std::vector<unsigned char> FromHex(const char* hex) {
    std::vector<unsigned char> out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        unsigned value = 0;
        std::sscanf(hex + i, "%2x", &value);
        out.push_back(static_cast<unsigned char>(value));
    }
    return out;
}

HKEY RootFromName(const char* name) {
    if (!std::strcmp(name, "HKLM")) return HKEY_LOCAL_MACHINE;
    if (!std::strcmp(name, "HKCU")) return HKEY_CURRENT_USER;
    if (!std::strcmp(name, "HKCR")) return HKEY_CLASSES_ROOT;
    if (!std::strcmp(name, "HKU")) return HKEY_USERS;
    return nullptr;
}

// The dump of a large tree (the machine's classes are megabytes) is built
// in memory with a table and written at once: a printf per byte made each
// snapshot take seconds.
class DumpText {
public:
    void Text(const char* text) { m_out += text; }
    void Hex(const void* data, size_t size) {
        static const char kDigits[] = "0123456789abcdef";
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            m_out += kDigits[bytes[i] >> 4];
            m_out += kDigits[bytes[i] & 0xF];
        }
    }
    void HexText(const std::string& text) { Hex(text.data(), text.size()); }
    void Number(unsigned long value) { m_out += std::to_string(value); }
    ~DumpText() { std::fwrite(m_out.data(), 1, m_out.size(), stdout); }

private:
    std::string m_out;
};

// "K <hex path>" for the key and "V <hex path> <hex name> <type> <hex data>"
// for each value, then the subkeys (names in their stored case).
void DumpKey(HKEY key, const std::string& path, DumpText& out, std::vector<unsigned char>& data) {
    out.Text("K ");
    out.HexText(path);
    out.Text("\n");
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (::RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        out.Text("V ");
        out.HexText(path);
        out.Text(" ");
        out.Hex(name, nameSize);
        out.Text(" ");
        out.Number(type);
        out.Text(" ");
        out.Hex(data.data(), dataSize);
        out.Text("\n");
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (::RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        UniqueKey sub;
        if (::RegOpenKeyExA(key, name, 0, KEY_READ, sub.Put()) == ERROR_SUCCESS) {
            DumpKey(sub.Get(), path.empty() ? std::string(name) : path + "\\" + name, out, data);
        }
    }
}

int RegDump(HKEY root, const char* subkey) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, subkey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return 2;
    DumpText out;
    std::vector<unsigned char> data(1 << 16);
    DumpKey(key.Get(), "", out, data);
    return 0;
}

// regset ROOT subkey hexname type hexdata
int RegSet(HKEY root, const char* subkey, const char* hexName, DWORD type, const char* hexData) {
    UniqueKey key;
    if (::RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                          nullptr) != ERROR_SUCCESS) {
        return 2;
    }
    std::vector<unsigned char> nameBytes = FromHex(hexName);
    std::string name(nameBytes.begin(), nameBytes.end());
    std::vector<unsigned char> data = FromHex(hexData);
    return ::RegSetValueExA(key.Get(), name.empty() ? nullptr : name.c_str(), 0, type, data.data(),
                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS ? 0 : 3;
}

int DeleteKeyTree(HKEY root, const char* subkey) {
    return ::SHDeleteKeyA(root, subkey) == ERROR_SUCCESS ? 0 : 2;
}

void PrintField(const char* field, const char* value) {
    std::printf("%s ", field);
    PrintHexText(value);
    std::printf("\n");
}

int ReadLink(const char* path) {
    ComScope com;
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.Put())))) {
        return 3;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())))) {
        return 3;
    }
    wchar_t widePath[MAX_PATH];
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
    if (FAILED(file.Get()->Load(widePath, STGM_READ))) return 2;
    char text[1024];
    text[0] = '\0';
    link.Get()->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
    PrintField("target", text);
    text[0] = '\0';
    link.Get()->GetArguments(text, sizeof text);
    PrintField("arguments", text);
    text[0] = '\0';
    int index = 0;
    link.Get()->GetIconLocation(text, sizeof text, &index);
    PrintField("icon", text);
    std::printf("index %d\n", index);
    text[0] = '\0';
    link.Get()->GetDescription(text, sizeof text);
    PrintField("description", text);
    text[0] = '\0';
    link.Get()->GetWorkingDirectory(text, sizeof text);
    PrintField("workdir", text);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "probe regdump ROOT SUBKEY | regset ROOT SUBKEY HEXNAME TYPE HEXDATA |\n"
                 "      regdelete ROOT SUBKEY | lnk PATH | lnks PATH... | run |\n"
                 "      killat file:PATH|key:ROOT\\KEY |\n"
                 "      folder CSIDL | window CLASS | metrics | osversion | desktop\n");
    return 64;
}

// Starts PROBE_CMDLINE exactly as given (optionally in PROBE_CWD): the
// shell's argument quoting never touches it. Returns 0, or the probe's own
// failure code.
int StartCommand(UniqueKernelHandle& process) {
    const char* commandLine = std::getenv("PROBE_CMDLINE");
    if (!commandLine) return 100;
    const char* cwd = std::getenv("PROBE_CWD");
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          cwd && *cwd ? cwd : nullptr, &startup, &info)) {
        std::fprintf(stderr, "CreateProcess failed: %lu\n", ::GetLastError());
        return 101;
    }
    process.Reset(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    return 0;
}

DWORD ExitCodeOf(HANDLE process) {
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    return code;
}

// Runs the command and returns its exit code.
int Run() {
    UniqueKernelHandle process;
    if (const int failure = StartCommand(process)) return failure;
    ::WaitForSingleObject(process.Get(), INFINITE);
    return static_cast<int>(ExitCodeOf(process.Get()));
}

// Whether `what` exists: "file:PATH" (a file or folder) or "key:ROOT\SUBKEY".
bool Exists(const std::string& what) {
    constexpr char kFile[] = "file:";
    constexpr char kKey[] = "key:";
    if (what.rfind(kFile, 0) == 0) {
        return ::GetFileAttributesA(what.c_str() + std::strlen(kFile)) != INVALID_FILE_ATTRIBUTES;
    }
    const std::string path = what.substr(std::strlen(kKey));
    const size_t slash = path.find('\\');
    HKEY root = RootFromName(path.substr(0, slash).c_str());
    UniqueKey key;
    return root && slash != std::string::npos &&
           ::RegOpenKeyExA(root, path.c_str() + slash + 1, 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// The exit code a process ended by killat gets, as a crash or Task Manager
// would end it: no handler of its own runs.
constexpr UINT kKilledExitCode = 0xDEAD;

// Runs the command and ends it the moment `what` exists. The prefix is
// watched without a pause, so the end comes within a few system calls of the
// condition. Returns 0 when it was ended so, 1 when it ended by itself first.
int KillAt(const std::string& what) {
    if (what.rfind("file:", 0) != 0 && what.rfind("key:", 0) != 0) return Usage();
    UniqueKernelHandle process;
    if (const int failure = StartCommand(process)) return failure;
    while (::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
        if (!Exists(what)) continue;
        if (!::TerminateProcess(process.Get(), kKilledExitCode)) break;
        ::WaitForSingleObject(process.Get(), INFINITE);
        return 0;
    }
    ::WaitForSingleObject(process.Get(), INFINITE);
    std::fprintf(stderr, "ended by itself with %lu\n", static_cast<unsigned long>(ExitCodeOf(process.Get())));
    return 1;
}

int PrintFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) return 2;
    PrintHexText(path);
    std::printf("\n");
    return 0;
}


}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "regdump" && argc == 4) {
        HKEY root = RootFromName(argv[2]);
        return root ? RegDump(root, argv[3]) : Usage();
    }
    if (command == "regset" && argc == 7) {
        HKEY root = RootFromName(argv[2]);
        return root ? RegSet(root, argv[3], argv[4], std::strtoul(argv[5], nullptr, 10), argv[6])
                    : Usage();
    }
    if (command == "regdelete" && argc == 4) {
        HKEY root = RootFromName(argv[2]);
        return root ? DeleteKeyTree(root, argv[3]) : Usage();
    }
    if (command == "lnk" && argc == 3) return ReadLink(argv[2]);
    if (command == "lnks" && argc >= 3) {
        // Many links for one start of the probe; each block opens with its path.
        for (int i = 2; i < argc; ++i) {
            PrintField("link", argv[i]);
            if (ReadLink(argv[i]) != 0) std::printf("unreadable\n");
        }
        return 0;
    }
    if (command == "run" && argc == 2) return Run();
    if (command == "killat" && argc == 3) return KillAt(argv[2]);
    if (command == "folder" && argc == 3) return PrintFolder(std::atoi(argv[2]));
    if (command == "window" && argc == 3) return ::FindWindowA(argv[2], nullptr) ? 0 : 1;
    if (command == "desktop" && argc == 2) {
        // Keeps the prefix's desktop open until killed, as the shell keeps it
        // on Windows: without a user Wine closes it a second after the last
        // program ends, and the next program waits for a new one.
        (void)::GetDesktopWindow();
        ::Sleep(INFINITE);
        return 0;
    }
    if (command == "osversion" && argc == 2) {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        ::GetVersionExA(&info);
        std::printf("%lu %lu %lu\n", static_cast<unsigned long>(info.dwPlatformId),
                    static_cast<unsigned long>(info.dwMajorVersion),
                    static_cast<unsigned long>(info.dwMinorVersion));
        return 0;
    }
    if (command == "metrics" && argc == 2) {
        std::printf("%d %d %d\n", ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                    ::GetSystemMetrics(SM_CXFULLSCREEN));
        return 0;
    }
    return Usage();
}
