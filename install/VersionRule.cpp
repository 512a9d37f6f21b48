#include "install/VersionRule.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "product/ProductInfo.h"

namespace {

bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const unsigned char ca = static_cast<unsigned char>(*a);
        const unsigned char cb = static_cast<unsigned char>(*b);
        const int la = (ca >= 'A' && ca <= 'Z') ? ca + ('a' - 'A') : ca;
        const int lb = (cb >= 'A' && cb <= 'Z') ? cb + ('a' - 'A') : cb;
        if (la != lb) return false;
    }
    return *a == *b;
}

}  // namespace

std::string FormatVersionText(unsigned major, unsigned minor, unsigned third) {
    char text[kVersionTextSize];
    std::snprintf(text, sizeof text, "%u.%u%u", major, minor, third);
    return text;
}

int VersionHundredths(const char* versionText) {
    const double hundredths = std::round(std::strtod(versionText, nullptr) * 100.0);
    if (!(hundredths < static_cast<double>(INT_MAX))) return INT_MAX;
    if (hundredths < 0.0) return 0;
    return static_cast<int>(hundredths);
}

IconLibraryAction DecideIconLibraryAction(const ExistingIconLibrary& existing) {
    if (!existing.hasVersion) return IconLibraryAction::Extract;
    const int own = VersionHundredths(kProductVersionText);
    const int found = VersionHundredths(existing.versionText);
    const bool overwriteAllowed =
        found < own || (found == own && existing.size == kIconLibraryResourceSize);
    if (overwriteAllowed && EqualsIgnoringAsciiCase(existing.companyName, kPublisher)) {
        return IconLibraryAction::Extract;
    }
    return IconLibraryAction::KeepExisting;
}
