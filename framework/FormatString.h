// The framework's %1/%2 placeholder formatting (portable).
#pragma once

#include <string>

// Replaces each "%1" in `pattern` with `first` (and each "%2" with `second`).
std::string FormatString1(const std::string& pattern, const std::string& first);
std::string FormatString2(const std::string& pattern, const std::string& first,
                          const std::string& second);
