#include "install/IconLibraryProbe.h"

#include "product/Limits.h"
#include "install/Probes.h"
#include "install/VersionRule.h"

bool IconLibraryRuleKeeps(const char* path) {
    char versionText[kVersionTextSize] = "";
    char companyName[kMaxPath] = "";
    ExistingIconLibrary existing;
    existing.hasVersion = ReadFileVersion(path, versionText, companyName) == 1;
    existing.versionText = versionText;
    existing.companyName = companyName;
    existing.size = existing.hasVersion ? FileSizeOf(path) : 0;
    return DecideIconLibraryAction(existing) == IconLibraryAction::KeepExisting;
}
