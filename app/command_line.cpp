#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace app {

namespace {

// Qt's standard options that take a value, as "-name value"; -style and
// -stylesheet also as "-name=value".
constexpr std::array<std::string_view, 12> kQtValueOptions{
    "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowicon",        "-qwindowtitle",  "-session",
    "-display",         "-geometry",           "-style",         "-stylesheet"};
constexpr std::array<std::string_view, 2> kQtFlags{"-reverse", "-widgetcount"};
constexpr std::array<std::string_view, 3> kQtJoinedOptions{
    "-style=", "-stylesheet=", "-qmljsdebugger="};

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isJoinedQtOption(std::string_view option) {
    return std::any_of(kQtJoinedOptions.begin(), kQtJoinedOptions.end(),
                       [option](std::string_view head) { return option.starts_with(head); });
}

CommandLine mistake(std::string text) {
    return CommandLine{CommandLine::Request::Mistake, std::move(text)};
}

} // namespace

CommandLine readCommandLine(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h")
            return CommandLine{CommandLine::Request::Help, {}};
        if (argument == "--version")
            return CommandLine{CommandLine::Request::Version, {}};
        if (argument.size() < 2 || argument[0] != '-')
            return mistake("unexpected argument '" + argument + "': the program takes no files");
        // Qt takes its options with one dash or two.
        const std::string_view option =
            argument.starts_with("--") ? std::string_view(argument).substr(1) : argument;
        if (contains(kQtFlags, option) || isJoinedQtOption(option))
            continue;
        if (contains(kQtValueOptions, option)) {
            if (i + 1 >= arguments.size())
                return mistake(argument + " needs a value");
            ++i;
            continue;
        }
        return mistake("unknown option '" + argument + "'");
    }
    return {};
}

std::string windowUsage() {
    return R"(Usage: contavtascontado [Qt options]
  or:  contavtascontado --help | --version

Opens the window that posts the cash sales of one day and point of sale into
a company's general ledger. Choose a server entry, type the database user, the
password and the company code; leaving the company field signs in. Then pick
the date and the point of sale and press F2. F5 opens the day's closing-rate
adjustments.

Options:
  -h, --help       show this text and exit
  --version        show the file version, the product version and the company
                   and exit

Qt's standard options are passed on to Qt: -platform NAME, -platformpluginpath
PATH, -platformtheme NAME, -plugin NAME, -display DISPLAY, -geometry GEOMETRY,
-qwindowgeometry GEOMETRY, -qwindowicon FILE, -qwindowtitle TITLE, -session
NAME, -style NAME, -stylesheet FILE, -reverse, -widgetcount.

Environment:
  PELMORA_REGISTRY  the registry file (default /etc/pelmora/registry.reg); its
                    value Directorio under
                    HKEY_LOCAL_MACHINE\Software\Dranek\PelmoraERP2024 names the
                    install directory, whose SERVIDORES.cfg lists the server
                    entries
  FIREBIRD_LOCK     the embedded engine's lock directory
  LC_ALL, LC_TIME, LANG
                    the short date format of the dates sent to the database
  QT_QPA_PLATFORM   Qt's display platform (xcb, wayland, offscreen...)

Exit status: 0 when the window is closed, 2 a mistake on the command line.
)";
}

} // namespace app
