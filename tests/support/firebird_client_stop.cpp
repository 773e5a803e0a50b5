#include "tests/support/firebird_client_stop.h"

#include <dirent.h>
#include <dlfcn.h>
#include <link.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#define PELMORA_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELMORA_LEAK_CHECKER 1
#endif
#endif

#ifdef PELMORA_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

namespace testsupport {

namespace {

// The reason the client's own exit handler gives for shutting down.
constexpr int ExitCalled = -7;
// How long the thread count must hold still, and the most to wait for that.
constexpr auto SettledFor = std::chrono::milliseconds(100);
constexpr auto MostWait = std::chrono::seconds(5);

using ShutdownFunc = int (*)(unsigned int timeout, int reason);

std::string loadedClientPath() {
    std::string path;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "libfbclient.so")) {
                *static_cast<std::string*>(data) = info->dlpi_name;
                return 1;
            }
            return 0;
        },
        &path);
    return path;
}

int threadCount() {
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) {
        return 1;
    }
    int count = 0;
    while (const dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] != '.') {
            ++count;
        }
    }
    closedir(tasks);
    return count;
}

void waitForThreadsToSettle() {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + MostWait;
    int count = threadCount();
    auto since = Clock::now();
    while (Clock::now() - since < SettledFor && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (const int now = threadCount(); now != count) {
            count = now;
            since = Clock::now();
        }
    }
}

} // namespace

void stopFirebirdClient() {
    const std::string path = loadedClientPath();
    if (path.empty()) {
        return;
    }
    void* client = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (client == nullptr) {
        return;
    }
    if (auto shutdown = reinterpret_cast<ShutdownFunc>(dlsym(client, "fb_shutdown"))) {
        shutdown(0, ExitCalled);
    }
    dlclose(client);
    waitForThreadsToSettle();
}

void checkLeaksNow() {
#ifdef PELMORA_LEAK_CHECKER
    __lsan_do_leak_check();
#endif
}

} // namespace testsupport
