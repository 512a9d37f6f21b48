#include "uninstall/OpenedLink.h"

#include <windows.h>

namespace {

// Deleting through a handle: NtSetInformationFile with the disposition class
// is what NT itself does for DeleteFile, and ntdll exports it on NT 4, 2000,
// XP, later systems and Wine alike. SetFileInformationByHandle does the same
// but only from Vista on, and FILE_FLAG_DELETE_ON_CLOSE cannot be taken back
// once a read shows the link is not ours; so one route serves every NT.
constexpr char kNtdllName[] = "ntdll.dll";
constexpr char kSetInformationName[] = "NtSetInformationFile";
constexpr ULONG kFileBasicInformation = 4;
constexpr ULONG kFileDispositionInformation = 13;

struct IoStatus {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
struct BasicInformation {
    LARGE_INTEGER creationTime;  // zero times stay as they are
    LARGE_INTEGER lastAccessTime;
    LARGE_INTEGER lastWriteTime;
    LARGE_INTEGER changeTime;
    ULONG attributes;
};
struct DispositionInformation {
    BOOLEAN deleteFile;
};
using SetInformationFunction = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, ULONG);

bool SetInformation(HANDLE file, void* information, ULONG size, ULONG informationClass) {
    const HMODULE ntdll = ::GetModuleHandleA(kNtdllName);
    const auto setInformation =
        ntdll ? reinterpret_cast<SetInformationFunction>(
                    reinterpret_cast<void*>(::GetProcAddress(ntdll, kSetInformationName)))
              : nullptr;
    IoStatus status = {};
    return setInformation && setInformation(file, &status, information, size, informationClass) >= 0;
}

}  // namespace

OpenedLink::OpenedLink(const std::string& path)
    : m_file(::CreateFileA(path.c_str(), DELETE | GENERIC_READ | FILE_WRITE_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (m_file && !::GetFileInformationByHandle(m_file.Get(), &info)) m_file.Reset();
    m_attributes = info.dwFileAttributes;
}

bool OpenedLink::IsReparsePoint() const { return (m_attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

bool OpenedLink::ReadAll(unsigned long maxBytes, std::string& bytes) {
    DWORD high = 0;
    const DWORD size = ::GetFileSize(m_file.Get(), &high);
    if (!m_file || size == INVALID_FILE_SIZE || high != 0 || size > maxBytes) return false;
    bytes.assign(size, '\0');
    DWORD read = 0;
    // Freshly opened: the file pointer is at the start.
    return size == 0 || (::ReadFile(m_file.Get(), &bytes[0], size, &read, nullptr) && read == size);
}

bool OpenedLink::Delete() {
    if (!m_file) return false;
    // The setup replaces read-only files; they go here the same way.
    if (m_attributes & FILE_ATTRIBUTE_READONLY) {
        BasicInformation basic = {};
        basic.attributes = FILE_ATTRIBUTE_NORMAL;
        (void)SetInformation(m_file.Get(), &basic, sizeof basic, kFileBasicInformation);
    }
    DispositionInformation disposition = {TRUE};
    const bool marked =
        SetInformation(m_file.Get(), &disposition, sizeof disposition, kFileDispositionInformation);
    m_file.Reset();  // the deletion happens as the last handle closes
    return marked;
}
