#include "app/post/password.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace app::post {

namespace {

// Reads one line from the terminal with its echo off, restored after.
std::optional<std::string> askOnTerminal() {
    const int terminal = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (terminal < 0) {
        return std::nullopt;
    }
    termios saved{};
    if (::tcgetattr(terminal, &saved) != 0) {
        ::close(terminal);
        return std::nullopt;
    }
    static constexpr char kPrompt[] = "Password: ";
    (void)!::write(terminal, kPrompt, sizeof kPrompt - 1);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(terminal, TCSAFLUSH, &quiet);
    std::string password;
    char c = 0;
    while (::read(terminal, &c, 1) == 1 && c != '\n') {
        password += c;
    }
    ::tcsetattr(terminal, TCSAFLUSH, &saved);
    (void)!::write(terminal, "\n", 1);
    ::close(terminal);
    return password;
}

} // namespace

std::optional<std::string> readPassword() {
    if (const char* password = std::getenv(kPasswordVariable)) {
        return std::string(password);
    }
    if (::isatty(STDIN_FILENO) == 0) {
        return std::nullopt;
    }
    return askOnTerminal();
}

} // namespace app::post
