#include "offers/ExtractResourceToTemp.h"

#include <cstring>
#include <string>

#include "install/ExtractResource.h"
#include "offers/TempFolderFile.h"

namespace {
constexpr char kLibraryResourceType[] = "DLL";
}

int ExtractResourceToTemp(char* outPath, const char* fileName, WORD id) {
    // A path that does not fit leaves nothing to extract to; writing past the
    // buffer is no option.
    const std::string path = TempFolderFile(fileName);
    std::memcpy(outPath, path.c_str(), path.size() + 1);
    if (path.empty()) return 0;
    return ExtractResourceToFile(outPath, id, kLibraryResourceType);
}
