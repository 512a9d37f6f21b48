// The silent command-line grammar (portable: no Windows API).
#pragma once

#include <cstddef>

struct InstallOptions;

// Only the first 520 bytes of the command line (terminating zero included)
// are searched for options.
constexpr size_t kCommandLineCopyBytes = 520;
// Every option value is cut when its position, counted from the first
// character of the option name, reaches this limit.
constexpr int kOptionValueLimit = 260;

// True when the raw command line selects silent mode: a plain,
// case-sensitive substring test for "/silent".
bool IsSilentCommandLine(const char* commandLine);

// Copies the text after the option name (skipCount characters) into value,
// stopping before the first "/", at the end of the text, or where the
// position reaches limit; value is always zero-terminated. Returns the
// position in source where copying stopped.
const char* ExtractOptionValue(const char* source, char* value, int skipCount, int limit);

// Trims trailing spaces, one closing and one opening double quote, and
// trailing spaces again; leading spaces stay.
void StripValueQuotes(char* value);

// Applies the silent options of commandLine to options, which the caller has
// filled with the defaults (install folder included). Each option counts at
// its first occurrence within the first 520 bytes.
void ApplySilentOptions(const char* commandLine, InstallOptions& options);
