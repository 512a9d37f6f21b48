#include "install/Probes.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "product/Limits.h"
#include "framework/Handles.h"
#include "framework/VersionApi.h"
#include "install/OsFamilyQuery.h"
#include "install/VersionRule.h"

namespace {

constexpr char kCompanyNameQuery[] = "\\StringFileInfo\\040904E4\\CompanyName";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool IsWindows9x() { return QueryOsVersion().platformId == VER_PLATFORM_WIN32_WINDOWS; }

int ReadFileVersion(const char* path, char* versionText, char* companyName) {
    const VersionApi& version = VersionLibrary();
    if (!version) return -1;
    DWORD ignored = 0;
    const DWORD blockSize = version.GetFileVersionInfoSizeA(path, &ignored);
    if (blockSize == 0) return -1;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[blockSize]);
    if (!block) return -1;
    if (!version.GetFileVersionInfoA(path, 0, blockSize, block.get())) return -1;
    void* fixedInfo = nullptr;
    UINT fixedLength = 0;
    if (!version.VerQueryValueA(block.get(), "\\", &fixedInfo, &fixedLength) || !fixedInfo ||
        fixedLength < sizeof(VS_FIXEDFILEINFO)) {
        return -1;
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(fixedInfo);
    const std::string text = FormatVersionText(HIWORD(fixed->dwProductVersionMS),
                                               LOWORD(fixed->dwProductVersionMS),
                                               HIWORD(fixed->dwFileVersionLS));
    std::strcpy(versionText, text.c_str());

    if (companyName) {
        companyName[0] = '\0';
        void* company = nullptr;
        UINT companyLength = 0;
        if (version.VerQueryValueA(block.get(), kCompanyNameQuery, &company, &companyLength) &&
            company) {
            const size_t length = strnlen(static_cast<const char*>(company),
                                          companyLength < kMaxPath ? companyLength : kMaxPath - 1);
            std::memcpy(companyName, company, length);
            companyName[length] = '\0';
        }
    }
    return 1;
}

int FileSizeOf(const char* path) {
    if (!path || path[0] == '\0') return 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) return 0;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(file.get());
    return size < 0 ? 0 : static_cast<int>(size);
}

int ReadRegistryString(HKEY root, const char* subkey, const char* valueName, char* buffer,
                       DWORD* size) {
    std::memset(buffer, 0, *size);
    UniqueKey key;
    if (::RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return 0;
    DWORD stored = *size;
    const LONG status = ::RegQueryValueExA(key.Get(), valueName, nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(buffer), &stored);
    // A value that fills the buffer without its own terminator would leave
    // the text unterminated.
    if (status != ERROR_SUCCESS || (stored == *size && stored > 0 && buffer[stored - 1] != '\0')) {
        std::memset(buffer, 0, *size);  // a value too long leaves no fragment
        return 0;
    }
    *size = stored;
    return 1;
}
