#pragma once
// The window program's command line. It is read before the application
// object exists, so that --help and --version need no display. The program
// takes no arguments of its own; Qt's standard options are passed on to Qt.

#include <string>
#include <vector>

namespace app {

inline constexpr const char* kProgramName = "contavtascontado";

struct CommandLine {
    enum class Request { OpenWindow, Help, Version, Mistake };
    Request request = Request::OpenWindow;
    // What is wrong with the command line, for Request::Mistake.
    std::string mistake;
};

// Reads the arguments after the program name, left to right: the first
// --help, --version or mistake decides.
CommandLine readCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
std::string windowUsage();

} // namespace app
