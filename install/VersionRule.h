// The icon-library plug-in's replacement rule as arithmetic on version texts
// (portable: the probes that feed it live in Probes.h).
#pragma once

#include <string>

// Room for "%d.%d%d" of three 16-bit fields and its terminating zero.
constexpr int kVersionTextSize = 32;

// Size of the embedded icon library: a same-version file of exactly this
// size is ours and may be refreshed.
constexpr long kIconLibraryResourceSize = 226816;

// Product major and minor, then the file version's third field, written one
// after the other: 4, 3, 0 give "4.30"; 4, 10, 0 give "4.100".
std::string FormatVersionText(unsigned major, unsigned minor, unsigned third);

// The version text read as a decimal number, in whole hundredths (rounded):
// "4.30" gives 430, "4.100" gives 410.
int VersionHundredths(const char* versionText);

// What the probes found at the icon library's target path.
struct ExistingIconLibrary {
    bool hasVersion = false;         // a readable version resource
    const char* versionText = "";    // FormatVersionText form
    const char* companyName = "";    // empty when the 040904E4 block has none
    long size = 0;
};

enum class IconLibraryAction { Extract, KeepExisting };

// A file without a version resource is replaced; one of ours is replaced
// when it is older, or the same version at the embedded size; anything else
// (a newer version, a foreign maker) is kept.
IconLibraryAction DecideIconLibraryAction(const ExistingIconLibrary& existing);
