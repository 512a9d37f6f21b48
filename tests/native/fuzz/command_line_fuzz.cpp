// Fuzzes the silent command-line grammar with arbitrary command lines.
#include <cstdint>
#include <cstring>
#include <string>

#include "app/CommandLine.h"
#include "install/InstallOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.c_str();  // a command line ends at its first zero
    InstallOptions options;
    std::strcpy(options.installFolder, "C:\\Tessolo\\");
    ApplySilentOptions(line.c_str(), options);
    // Invariant: associateFiles exactly when a type is selected.
    bool any = false;
    for (int flag : options.fileTypeSelection) any = any || flag != 0;
    if (any != (options.associateFiles != 0)) __builtin_trap();
    if (std::strlen(options.installFolder) >= sizeof options.installFolder) __builtin_trap();
    return 0;
}
