#include "install/IconLibraryRule.h"

#include "product/Limits.h"
#include "install/ExtractResource.h"
#include "install/Probes.h"
#include "install/VersionRule.h"

int IconLibraryVersionRule(const char* path, WORD id, LPCSTR type, bool* kept) {
    char versionText[kVersionTextSize] = "";
    char companyName[kMaxPath] = "";
    ExistingIconLibrary existing;
    existing.hasVersion = ReadFileVersion(path, versionText, companyName) == 1;
    existing.versionText = versionText;
    existing.companyName = companyName;
    existing.size = existing.hasVersion ? FileSizeOf(path) : 0;
    const bool keep = DecideIconLibraryAction(existing) == IconLibraryAction::KeepExisting;
    if (kept) *kept = keep;
    if (keep) return 1;
    return ExtractResourceToFile(path, id, type);
}
