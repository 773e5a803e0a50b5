#include "app/program_start.h"

#include "app/application.h"
#include "app/command_line.h"
#include "app/first_paint_exit.h"
#include "app/form/program_version.h"
#include "app/tfcontavtascontado.h"

#include <algorithm>
#include <string>
#include <vector>

namespace app {

std::optional<int> answerCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err) {
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const CommandLine commandLine = readCommandLine(arguments);
    switch (commandLine.request) {
    case CommandLine::Request::Help:
        out << windowUsage();
        return 0;
    case CommandLine::Request::Version:
        out << versionText(kProgramName);
        return 0;
    case CommandLine::Request::Mistake:
        err << kProgramName << ": " << commandLine.mistake << " (see --help)\n";
        return kExitUsage;
    case CommandLine::Request::OpenWindow:
        break;
    }
    return std::nullopt;
}

Tfcontavtascontado* startMainWindow() {
    auto* window = new Tfcontavtascontado;
    Application::runGuarded([window] { window->FormCreate(); });
    exitAfterFirstPaintWhenAsked(*window);
    window->show();
    return window;
}

} // namespace app
