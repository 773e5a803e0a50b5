// Start-up of the program: the time from exec to the end of the window's
// first paint, on the offscreen platform, against a demo install made by the
// project's script (a registry file, a server list and demo company 001),
// compared with a bare Qt program that shows an empty window. The programs
// are run alternately, each its own process, and the medians are compared.
// Aim: the program's window painted under 300 ms.
//
//   startup_bench [RUNS]     (default 20 runs of each)

#include "app/first_paint_exit.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultRuns = 20;
constexpr double kAimMilliseconds = 300;
constexpr int kPatienceMilliseconds = 30000;

// A demo install in a temporary directory, as scripts/demo.sh lays one out.
class DemoInstall {
public:
    DemoInstall() {
        char pattern[] = "/tmp/pelmora-startup-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            throw std::runtime_error("no temporary directory");
        directory_ = pattern;
        std::ofstream(directory_ + "/registry.reg")
            << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024]\n"
               "\"Directorio\"=\""
            << directory_ << "\"\n";
        std::ofstream(directory_ + "/SERVIDORES.cfg")
            << directory_ << "\nlocalhost:" << directory_ << "\n";
        const std::string lock = directory_ + "/.firebird-lock";
        std::filesystem::create_directories(lock);
        ::setenv("FIREBIRD_LOCK", lock.c_str(), 1);
        const std::string command = std::string("'") + PELMORA_CREATE_COMPANY +
                                    "' --demo --force '" + directory_ + "' 001 >/dev/null";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("the demo company could not be made");
        ::setenv("PELMORA_REGISTRY", (directory_ + "/registry.reg").c_str(), 1);
    }
    ~DemoInstall() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    DemoInstall(const DemoInstall&) = delete;
    DemoInstall& operator=(const DemoInstall&) = delete;

private:
    std::string directory_;
};

// Runs the program and gives the seconds from the spawn to its first-paint
// line on stderr; the program must then end with status 0.
double secondsToFirstPaint(const std::string& program) {
    int pipe[2];
    if (::pipe(pipe) != 0)
        throw std::runtime_error("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe[0]);
    posix_spawn_file_actions_addclose(&actions, pipe[1]);
    char* const arguments[] = {const_cast<char*>(program.c_str()), nullptr};

    const Clock::time_point started = Clock::now();
    pid_t child = 0;
    const int spawned =
        ::posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (spawned != 0) {
        ::close(pipe[0]);
        throw std::runtime_error(program + ": cannot start it");
    }

    // Everything the program writes to stderr, up to the line; a program
    // that neither paints nor ends in time is ended.
    std::string written;
    double seconds = -1;
    const std::string line = app::kFirstPaintLine;
    char buffer[4096];
    for (;;) {
        pollfd readable{pipe[0], POLLIN, 0};
        const int ready = ::poll(&readable, 1, kPatienceMilliseconds);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            ::kill(child, SIGKILL);
            written +=
                "\n(no first paint within " + std::to_string(kPatienceMilliseconds) + " ms: ended)";
            break;
        }
        const ssize_t count = ::read(pipe[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        written.append(buffer, static_cast<std::size_t>(count));
        if (seconds < 0 && written.find(line) != std::string::npos)
            seconds = std::chrono::duration<double>(Clock::now() - started).count();
    }
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (seconds < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(program + ": no first paint, or it failed:\n" + written);
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
    try {
        const DemoInstall install;
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv(app::kExitAfterFirstPaintVariable, "1", 1);
        const std::string program = PELMORA_PROGRAM;
        const std::string bare = PELMORA_BARE_WINDOW;

        // One of each first, to have the libraries in the page cache.
        secondsToFirstPaint(program);
        secondsToFirstPaint(bare);
        std::vector<double> programTimes;
        std::vector<double> bareTimes;
        for (int i = 0; i < runs; ++i) {
            programTimes.push_back(secondsToFirstPaint(program));
            bareTimes.push_back(secondsToFirstPaint(bare));
        }
        const double programMs = 1000 * median(programTimes);
        const double bareMs = 1000 * median(bareTimes);
        std::printf("start-up to first paint (median of %d): contavtascontado %.1f ms, bare Qt "
                    "window %.1f ms, ratio %.2f; aim under %.0f ms: %s\n",
                    runs, programMs, bareMs, programMs / bareMs, kAimMilliseconds,
                    programMs < kAimMilliseconds ? "met" : "missed");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "startup_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
