#include "offers/ExtractResourceToTemp.h"

#include <cstring>
#include <string>
#include <utility>

#include "download/HeldFile.h"
#include "install/ExtractResource.h"
#include "offers/TempFolderFile.h"

namespace {
constexpr char kLibraryResourceType[] = "DLL";
}

UniqueFile ExtractResourceToTemp(char* outPath, const char* fileName, WORD id) {
    // A path that does not fit leaves nothing to extract to; writing past the
    // buffer is no option.
    const std::string path = TempFolderFile(fileName);
    std::memcpy(outPath, path.c_str(), path.size() + 1);
    if (path.empty()) return UniqueFile();
    const void* bytes = nullptr;
    DWORD size = 0;
    if (!LoadResourceBytes(id, kLibraryResourceType, bytes, size)) return UniqueFile();

    // The temporary folder is the user's: a file that is there already, or
    // is held open by another program, is never written into.
    UniqueFile writer = CreateFileAfresh(path);
    if (!writer) return UniqueFile();
    DWORD written = 0;
    if (::WriteFile(writer.Get(), bytes, size, &written, nullptr) && written == size) {
        UniqueFile held = HoldWrittenFile(std::move(writer), path);
        if (held && HeldFileHolds(held, bytes, size)) return held;
    }
    writer.Reset();
    // A file someone else holds open stays behind; it is never loaded.
    (void)::DeleteFileA(path.c_str());
    return UniqueFile();
}
