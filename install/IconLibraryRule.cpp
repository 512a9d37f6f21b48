#include "install/IconLibraryRule.h"

#include "install/ExtractResource.h"
#include "install/IconLibraryProbe.h"

int IconLibraryVersionRule(const char* path, WORD id, LPCSTR type, bool* kept) {
    const bool keep = IconLibraryRuleKeeps(path);
    if (kept) *kept = keep;
    if (keep) return 1;
    return ExtractResourceToFile(path, id, type);
}
