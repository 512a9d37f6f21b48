#include "download/DownloadAddress.h"

#include <cctype>

namespace {

constexpr char kSchemeSeparator[] = "://";
constexpr char kHttpScheme[] = "http";
constexpr char kDefaultScheme[] = "http://";
constexpr uint32_t kHighestPort = 65535;

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    }
    return i == a.size() && b[i] == '\0';
}

// Digits only, 1 to 65535.
bool ParsePort(const std::string& text, uint16_t& port) {
    if (text.empty() || text.size() > 5) return false;
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value == 0 || value > kHighestPort) return false;
    port = static_cast<uint16_t>(value);
    return true;
}

}  // namespace

int SplitUrl(const std::string& url, UrlParts& parts) {
    const size_t schemeEnd = url.find(kSchemeSeparator);
    if (schemeEnd == std::string::npos) return 0;
    if (!EqualsIgnoringCase(url.substr(0, schemeEnd), kHttpScheme)) return 0;

    const size_t authorityStart = schemeEnd + sizeof(kSchemeSeparator) - 1;
    const size_t authorityEnd = url.find_first_of("/?#", authorityStart);
    std::string authority = url.substr(authorityStart, authorityEnd - authorityStart);
    // Credentials in the address are not used; the dialog has its own members.
    const size_t at = authority.rfind('@');
    if (at != std::string::npos) authority.erase(0, at + 1);

    UrlParts result;
    result.service = kHttpService;
    result.port = kHttpDefaultPort;
    const size_t colon = authority.find(':');
    result.host = authority.substr(0, colon);
    if (colon != std::string::npos && !ParsePort(authority.substr(colon + 1), result.port)) {
        return 0;
    }
    if (result.host.empty()) return 0;

    if (authorityEnd == std::string::npos) {
        result.objectPath = "/";
    } else {
        // A fragment never travels to the server.
        const std::string rest = url.substr(authorityEnd, url.find('#', authorityEnd) - authorityEnd);
        result.objectPath = (rest.empty() || rest[0] != '/') ? "/" + rest : rest;
    }
    parts = result;
    return 1;
}

int SplitUrlWithDefaultScheme(std::string& url, UrlParts& parts) {
    if (SplitUrl(url, parts)) return 1;
    const std::string prefixed = kDefaultScheme + url;
    if (!SplitUrl(prefixed, parts)) return 0;
    url = prefixed;
    return 1;
}

std::string ShownNameFor(const std::string& objectPath) {
    size_t cut = objectPath.rfind('/');
    if (cut == std::string::npos) cut = objectPath.rfind('\\');
    if (cut == std::string::npos || objectPath.size() < 2) return objectPath;
    return objectPath.substr(cut + 1);
}
