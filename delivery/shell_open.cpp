#include "delivery/shell_open.h"

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;

const auto kOpenerBound = 10s;

pid_t StartOpener(const std::string& target)
{
    std::string program = "xdg-open";
    std::string argument = target;
    char* argv[] = {program.data(), argument.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // Ours are close-on-exec already; this also holds for descriptors that
    // libraries open without it.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = 0;
    const int status = ::posix_spawnp(&pid, "xdg-open", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return status == 0 ? pid : 0;
}

} // namespace

bool ShellOpen(const std::string& target, const std::stop_token& stop)
{
    if (target.empty())
        return false;
    const pid_t pid = StartOpener(target);
    if (pid == 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + kOpenerBound;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline || stop.stop_requested()) {
            // Some openers run the viewer in the foreground: it is showing.
            std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
