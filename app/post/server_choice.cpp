#include "app/post/server_choice.h"

#include "app/post/post_options.h"
#include "config/install_directory.h"
#include "config/registry.h"
#include "config/server_list.h"

#include <algorithm>
#include <filesystem>

namespace app::post {

std::string chooseServerEntry(const std::string& choice) {
    const std::string registryPath = config::defaultRegistryPath();
    std::optional<std::string> directory;
    try {
        directory = config::readInstallDirectory(registryPath);
    } catch (const std::exception& error) {
        throw ConfigurationError("the registry file " + registryPath +
                                 " could not be read: " + error.what());
    }
    if (!directory || directory->empty()) {
        throw ConfigurationError(std::string("the registry file ") + registryPath +
                                 " names no install directory (" + config::kInstallKey + "\\" +
                                 config::kInstallValue + ")");
    }
    const std::string listPath = config::serverListPath(*directory);
    if (!std::filesystem::is_regular_file(listPath)) {
        throw ConfigurationError("the server list " + listPath + " does not exist");
    }
    const std::vector<std::string> entries = config::readServerList(listPath);
    if (std::find(entries.begin(), entries.end(), choice) != entries.end()) {
        return choice;
    }
    if (!choice.empty() &&
        std::all_of(choice.begin(), choice.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const std::size_t line = choice.size() > 9 ? 0 : std::stoul(choice);
        if (line >= 1 && line <= entries.size() && !entries[line - 1].empty()) {
            return entries[line - 1];
        }
    }
    throw UsageError("'" + choice + "' is no entry of the server list " + listPath);
}

} // namespace app::post
