#include "offers/ExtractResourceToTemp.h"

#include <cstring>

#include "app/Limits.h"
#include "install/ExtractResource.h"
#include "install/PathText.h"

namespace {
constexpr char kLibraryResourceType[] = "DLL";
}

int ExtractResourceToTemp(char* outPath, const char* fileName, WORD id) {
    outPath[0] = '\0';
    const DWORD length = ::GetTempPathA(kMaxPath, outPath);
    if (length == 0 || length >= static_cast<DWORD>(kMaxPath)) {
        outPath[0] = '\0';
        return 0;
    }
    AppendBackslash(outPath);
    // A temporary folder too long for the name leaves nothing to extract to;
    // writing past the buffer is no option.
    if (std::strlen(outPath) + std::strlen(fileName) >= static_cast<size_t>(kMaxPath)) return 0;
    std::strcat(outPath, fileName);
    return ExtractResourceToFile(outPath, id, kLibraryResourceType);
}
