// What an uninstall left behind, for the final box and the exit code.
#pragma once

#include <string>
#include <vector>

struct RemovalReport {
    // Files, links, folders and keys of ours that could not be removed.
    std::vector<std::string> failed;
    // Folders that stay because they hold files that are not ours.
    std::vector<std::string> kept;
};
