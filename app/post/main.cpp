// pelmora-post: posts cash sales into the general ledger without the
// window, shows which days are posted, and reverses a posted day.

#include "app/form/program_version.h"
#include "app/post/password.h"
#include "app/post/post_commands.h"
#include "app/post/post_options.h"
#include "app/post/server_choice.h"

#include <iostream>

using namespace app::post;

int main(int argc, char** argv) {
    PostOptions options;
    try {
        options = parsePostOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "pelmora-post: " << error.what() << "\n";
        return kExitUsage;
    }
    if (options.command == Command::Help) {
        std::cout << postUsage();
        return kExitDone;
    }
    if (options.command == Command::Version) {
        std::cout << app::versionText("pelmora-post");
        return kExitDone;
    }
    std::string serverEntry;
    try {
        serverEntry = chooseServerEntry(options.server);
    } catch (const UsageError& error) {
        std::cerr << "pelmora-post: " << error.what() << "\n";
        return kExitUsage;
    } catch (const ConfigurationError& error) {
        std::cerr << "pelmora-post: " << error.what() << "\n";
        return kExitConfiguration;
    }
    const std::optional<std::string> password = readPassword();
    if (!password) {
        std::cerr << "pelmora-post: no password: set " << kPasswordVariable
                  << " or run on a terminal\n";
        return kExitUsage;
    }
    try {
        return runCommand(options, serverEntry, *password, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "pelmora-post: " << error.what() << "\n";
        return kExitFailed;
    }
}
