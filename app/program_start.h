#pragma once
// The start of the program. Before the application object exists the command
// line is answered (--help, --version, mistakes) without a display; once it
// exists the main window is built, FormCreate runs, and the window is shown,
// also when FormCreate failed.

#include <optional>
#include <ostream>

namespace app {

class Tfcontavtascontado;

inline constexpr int kExitUsage = 2;

// The exit status when the command line ends the program before the window
// opens (help, version, a mistake); nothing when the window is to open.
std::optional<int> answerCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err);

// The window deletes itself when it is closed.
Tfcontavtascontado* startMainWindow();

} // namespace app
