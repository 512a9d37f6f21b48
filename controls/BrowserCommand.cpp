#include "controls/BrowserCommand.h"

#include <utility>

namespace {
constexpr char kQuotedPlaceholder[] = "\"%1\"";
constexpr char kBarePlaceholder[] = "%1";
}  // namespace

bool BuildBrowserCommand(const std::string& registeredCommand, const std::string& target,
                         std::string& commandLine) {
    size_t cut = registeredCommand.find(kQuotedPlaceholder);
    if (cut == std::string::npos) cut = registeredCommand.find(kBarePlaceholder);

    std::string command = registeredCommand.substr(0, cut);
    command += ' ';
    command += target;
    if (command.size() >= kCommandLineCopyBytes) {
        commandLine.clear();
        return false;
    }
    commandLine = std::move(command);
    return true;
}
