// Splitting a download address into what the connection needs, and the
// short name the dialog's caption shows (portable).
#pragma once

#include <cstdint>
#include <string>

// Service type handed to the connection for http addresses.
constexpr uint32_t kHttpService = 3;
constexpr uint16_t kHttpDefaultPort = 80;

struct UrlParts {
    uint32_t service = 0;
    std::string host;
    uint16_t port = 0;
    std::string objectPath;  // path and query, always starting with "/"
};

// Splits "scheme://host[:port][/object]". Only http addresses are accepted,
// since the request is sent as plain HTTP. Returns 1 and fills `parts`, or 0
// when the address has no http scheme, no host or a bad port.
int SplitUrl(const std::string& url, UrlParts& parts);

// The address as the dialog fetches it: as given when it splits, else with
// "http://" in front when that splits. Returns 0 when neither does.
int SplitUrlWithDefaultScheme(std::string& url, UrlParts& parts);

// The last segment of the object path: after its last "/", or its last
// backslash when it has no slash; the whole path when it has neither or is
// shorter than two characters.
std::string ShownNameFor(const std::string& objectPath);
